#!/usr/bin/env python3
"""A second exercise, of another shape than the generator's: people moving
between rooms, answered in a terser format ("ok" after every trace, "->",
" ; " between names), unknown command words among the five, traces of
more than a thousand bytes, about a fifth of the answers empty. Writes the
test file, the expected results, a class's mistakes and their manifest,
cas.tsv, in the generator's format.

    salles.py DOSSIER [GRAINE]
"""
import os
import random
import sys

dossier = sys.argv[1]
hasard = random.Random(int(sys.argv[2]) if len(sys.argv) > 2 else 7)
personnes = ["Zoé", "Anaïs", "François", "Héloïse", "Noël", "Loïc", "Bob", "Alice", "Chloé",
             "Maëlle", "Jérôme", "Agnès", "Léa", "Ibrahim", "Çetin", "Françoise", "Benoît", "Raphaël"]
inconnus = ["Gédéon", "Ysé", "Kévin"]
salles = ["cuisine", "atelier", "grenier", "réfectoire", "salle-B12", "préau", "chaufferie"]
ou, vus, ensemble = {}, {p: set() for p in personnes}, {}
minute = 0
tests, attendus = [], []


def avancer(duree):
    global minute
    minute += duree
    presents = {}
    for qui, salle in ou.items():
        if salle != "dehors":
            presents.setdefault(salle, []).append(qui)
    for groupe in presents.values():
        for i, a in enumerate(groupe):
            for b in groupe[i + 1:]:
                paire = tuple(sorted((a, b)))
                ensemble[paire] = ensemble.get(paire, 0) + duree


while len(tests) < 1300:
    tirage = hasard.random() if len(tests) > 4 else 0.0
    if tirage < 0.22:
        parties = ["trace"]
        for _ in range(hasard.choice([1, 2, 3]) if hasard.random() < 0.88 else hasard.randint(40, 60)):
            avancer(hasard.randint(1, 7))
            qui, salle = hasard.choice(personnes), hasard.choice(salles + ["dehors"])
            ou[qui] = salle
            for autre, la in ou.items():
                if autre != qui and la == salle != "dehors":
                    vus[qui].add(autre)
                    vus[autre].add(qui)
            parties.append(f"{minute:05d} {qui} {salle}")
        tests.append(" ".join(parties))
        attendus.append("ok")
    elif tirage < 0.45:
        qui = hasard.choice(personnes) if hasard.random() < 0.75 else hasard.choice(inconnus)
        tests.append(f"localiser {qui}")
        attendus.append(f"{qui} -> {ou[qui]}" if qui in ou else "")
    elif tirage < 0.62:
        salle = hasard.choice(salles + ["cave", "serre", "toit"])
        tests.append(f"presences {salle}")
        attendus.append(", ".join(sorted(q for q, s in ou.items() if s == salle)))
    elif tirage < 0.76:
        qui = hasard.choice(personnes) if hasard.random() < 0.85 else hasard.choice(inconnus)
        tests.append(f"frequentations {qui}")
        attendus.append(" ; ".join(sorted(vus.get(qui, ()))))
    elif tirage < 0.92:
        a, b = hasard.sample(personnes, 2)
        if hasard.random() < 0.3:
            a = hasard.choice(inconnus)
        tests.append(f"duree_rencontres {a} {b}")
        duree = ensemble.get(tuple(sorted((a, b))), 0)
        attendus.append(f"{duree / 60:.2f} h" if duree > 0 else "")
    else:
        tests.append(f"{hasard.choice(['aide', 'Trace', 'annuler', 'stats'])} {hasard.choice(personnes)}")
        attendus.append("commande inconnue")

os.makedirs(dossier, exist_ok=True)


def ecrire(nom, octets):
    with open(os.path.join(dossier, nom), "wb") as fichier:
        fichier.write(octets)


def texte(lignes, fin="\n"):
    return "".join(ligne + fin for ligne in lignes)


ecrire("test.txt", texte(tests).encode())
ecrire("attendu.resultat", texte(attendus).encode())
manifeste = []
lettres = {1: "une", 2: "deux", 3: "trois"}


def cas(nom, octets, *lignes, attendu="attendu.resultat", teste=None):
    teste = teste or nom + ".resultat"
    ecrire(teste, octets)
    manifeste.append(f"cas\t{nom}\t{attendu}\t{teste}")
    manifeste.extend(lignes)


def manque(numero, nombre=1):
    verbe = " lignes semblent manquer" if nombre > 1 else " ligne semble manquer"
    return (f"decalage\t{lettres.get(nombre, str(nombre))}{verbe} dans le fichier testé "
            f"à la ligne #{numero}\t{numero}")


def unique(depuis):
    """A line whose answer is alone of its kind between its neighbours:
    missing, it can be missing nowhere else."""
    i = depuis
    while attendus[i] in (attendus[i - 1], attendus[i + 1]) or attendus[i] == "":
        i += 1
    return i


places = [unique(150), unique(610), unique(1010)]
cas("manque-3", texte(a for i, a in enumerate(attendus) if i not in places).encode(),
    *(manque(i + 1) for i in places))
cas("debug-300", texte(attendus[:300] + ["[debug] i=300 salle=préau"] + attendus[300:]).encode(),
    "decalage\tune ligne de trop semble se trouver dans le fichier testé après la ligne #300\t300")
cas("entete", texte(["=== Résultats ==="] + attendus).encode(),
    "decalage\tune ligne de trop semble se trouver dans le fichier testé avant la ligne #1\t1")
# Empty answers never printed: one statement per run of them.
vides, i = [], 0
while i < len(attendus):
    if attendus[i] == "":
        debut = i
        while i < len(attendus) and attendus[i] == "":
            i += 1
        vides.append(manque(debut + 1, i - debut))
    i += 1
cas("vides-omis", texte(a for a in attendus if a).encode(), *vides,
    "fichier\tlignes manquantes ont un résultat vide")
localiser = [t.startswith("localiser") for t in tests]
majuscules = [a.upper() if l else a for a, l in zip(attendus, localiser)]
cas("majuscules-localiser", texte(majuscules).encode(), "indice\tseule la casse des lettres diffère")
# The same, and a line printed once too many: the shift is stated, and the
# capitals past it are never shown against another line's answer.
cas("majuscules-et-debug", texte(majuscules[:400] + ["trace ok"] + majuscules[400:]).encode(),
    "decalage\tune ligne de trop semble se trouver dans le fichier testé après la ligne #400\t400",
    "indice\tseule la casse des lettres diffère", "absent\tsans indice")
cas("invite", texte("> " + a for a in attendus).encode(), "indice\tV2 commence par « > » de plus que V1")
cas("ordre", texte(", ".join(reversed(a.split(", "))) if t.startswith("presences") else a
                   for a, t in zip(attendus, tests)).encode(), "indice\tles mêmes mots que V1, dans un autre ordre")
cas("separateur", texte(a.replace(" ; ", " | ") for a in attendus).encode(),
    "indice\tles mêmes mots que V1, séparés autrement (« | » pour « ; »)")
cas("crlf", texte(attendus, "\r\n").encode(), "indice\tseuls des retours chariot diffèrent : fins de ligne Windows")
cas("utf16le-bom", b"\xff\xfe" + texte(attendus, "\r\n").encode("utf-16-le"),
    "indice\tV2 est en UTF-16", "fichier\tle fichier testé est en UTF-16 LE avec BOM")
cas("coupe-8192", texte(attendus).encode()[:8192], "fichier\tcoupé à 8 192 octets, multiple de 4 096 : plantage ?")
sans = places[1]
cas("inverses", texte(attendus).encode(), "fichier\tfichiers attendu et testé inversés ?",
    f"decalage\tune ligne de trop semble se trouver dans le fichier testé après la ligne #{sans}\t{sans}",
    attendu="votre.resultat", teste="solution.resultat")
ecrire("votre.resultat", texte(attendus[:sans] + attendus[sans + 1:]).encode())
ecrire("cas.tsv", ("\n".join(manifeste) + "\n").encode())
