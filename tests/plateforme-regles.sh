#!/usr/bin/env bash
# The platforms' own rules, file by file, each read back by a parser of its
# kind. Moodle: a class in its download layout (a files folder with an
# online-text folder beside it, a text-only student, an empty folder, a
# team's folder) and the worksheet downloaded from it, French and English,
# blind marking, a row the gradebook locks, scales that must agree.
# Gradescope: points that add up, hidden sets shown only once published.
# JUnit: what GitLab and Jenkins show. And for every file a student may
# read, a hidden set's end said as a category only, and no character that
# shows nothing or reorders text.
set -u
export LC_ALL=C.UTF-8
classe=$1
tmp=$(mktemp -d)
trap '[ -n "${GARDER:-}" ] && echo "$tmp" || rm -rf "$tmp"' EXIT
echecs=0
echouer() { echo "ÉCHEC $*"; echecs=$((echecs + 1)); }
cd "$tmp" || exit 1

python3 - <<'PY'
import os, random
random.seed(33)
mots = ["trace", "localiser", "presences", "frequentations", "duree_rencontres", "aide"]
test, attendu = [], []
for i in range(60):
    mot = mots[i % 6] if i < 12 else random.choice(mots)
    qui = random.choice(["Zoé", "Anaïs", "Bob"])
    test.append(f"{mot} {qui} {i}")
    attendu.append("" if mot == "aide" else f"{qui} : {i * 7 % 13} rencontres")
open("test.txt", "w").write("\n".join(test) + "\n")
open("attendu.resultat", "w").write("\n".join(attendu) + "\n")
partiel = list(attendu)
for i in (3, 9, 20, 41):
    partiel[i] = "faux"
def remise(dossier, lignes):
    os.makedirs(dossier, exist_ok=True)
    open(f"{dossier}/votre.resultat", "w").write("\n".join(lignes) + "\n")
def texte(dossier):
    os.makedirs(dossier, exist_ok=True)
    open(f"{dossier}/onlinetext.html", "w").write("<p>Voir mon fichier.</p>\n")
# Moodle's download: a folder per participant and plugin.
remise("remises/Marie Dupont_101_assignsubmission_file_", attendu)
remise("remises/Zoé Martin_102_assignsubmission_file_", partiel)
texte("remises/Zoé Martin_102_assignsubmission_onlinetext_")
os.makedirs("remises/Inès Absente_103_assignsubmission_file_")
texte("remises/Texte Seul_104_assignsubmission_onlinetext_")
remise("remises/Léo Verrou_105_assignsubmission_file_", partiel)
remise("remises/Groupe A_9001_assignsubmission_file_", attendu)   # a team's folder
# Its worksheet, as downloaded in French: 106 handed nothing in and was
# graded by hand, 105's grade is locked in the gradebook.
quand = "mercredi 9 décembre 2026, 10:15"
fr = [["Identifiant", "Nom complet", "Adresse de courriel", "Statut", "Note", "Note maximale",
       "La note peut être modifiée", "Dernière modification (travail remis)", "Dernière modification (note)",
       "Feedback par commentaires"],
      ["Participant 101", "Marie Dupont", "marie@exemple.fr", "Remis pour évaluation", "", "20,00", "Oui", quand, "-", ""],
      ["Participant 102", "Zoé Martin", "zoe@exemple.fr", "Remis pour évaluation", "", "20,00", "Oui", quand, "-", ""],
      ["Participant 103", "Inès Absente", "ines@exemple.fr", "Aucun travail remis", "", "20,00", "Oui", "-", "-", ""],
      ["Participant 104", "Texte Seul", "texte@exemple.fr", "Remis pour évaluation", "", "20,00", "Oui", quand, "-", ""],
      ["Participant 105", "Léo Verrou", "leo@exemple.fr", "Remis pour évaluation", "8,00", "20,00", "Non", quand,
       "mardi 8 décembre 2026, 09:00", "Note posée, \"verrouillée\""],
      ["Participant 106", "Paul Oral", "paul@exemple.fr", "Aucun travail remis", "12,50", "20,00", "Oui", "-",
       "lundi 7 décembre 2026, 14:00", "Rendu à l'oral"]]
import csv
with open("feuille-fr.csv", "w", newline="", encoding="utf-8") as f:
    csv.writer(f, lineterminator="\n").writerows(fr)
with open("feuille-10.csv", "w", newline="", encoding="utf-8") as f:
    csv.writer(f, lineterminator="\n").writerows(fr[:1] + [r[:5] + ["10,00"] + r[6:] for r in fr[1:]])
with open("feuille-echelle.csv", "w", newline="", encoding="utf-8") as f:
    csv.writer(f, lineterminator="\n").writerows([r[:4] + ["Très bien" if r[0] == "Participant 106" else r[4], "-"] + r[6:]
                                                  for r in fr[:1]] + [r[:4] + ["Très bien" if r[0] == "Participant 106" else "", ""] + r[6:] for r in fr[1:]])
# Blind marking, an English site: the folders say "Participant", the
# worksheet has no names.
remise("aveugle/Participant_201_assignsubmission_file_", attendu)
remise("aveugle/Participant_202_assignsubmission_file_", partiel)
en = [["Identifier", "Status", "Grade", "Maximum grade", "Grade can be changed", "Last modified (submission)",
       "Last modified (grade)", "Feedback comments"],
      ["Participant 202", "Submitted for grading", "", "20.00", "Yes", "Wednesday, 9 December 2026, 10:15 AM", "-", ""],
      ["Participant 201", "Submitted for grading", "", "20.00", "Yes", "Wednesday, 9 December 2026, 10:15 AM", "-", ""]]
with open("feuille-en.csv", "w", newline="", encoding="utf-8") as f:
    csv.writer(f, lineterminator="\r\n").writerows(en)
open("bareme.txt", "w").write("sur 20\narrondi 0,5\nmot localiser 2\n")
open("bareme-10.txt", "w").write("sur 10\n")
PY

"$classe" --bareme=bareme.txt --moodle=moodle-fr.csv --moodle-feuille=feuille-fr.csv --retours=retours \
  -o notes.tsv test.txt attendu.resultat remises/*/ 2>erreurs-fr
"$classe" --moodle=moodle-10.csv --moodle-feuille=feuille-10.csv -o /dev/null test.txt attendu.resultat remises 2>/dev/null
"$classe" --bareme=bareme.txt --moodle=moodle-en.csv --moodle-feuille=feuille-en.csv -o /dev/null \
  test.txt attendu.resultat aveugle 2>erreurs-en
"$classe" --bareme=bareme.txt --moodle=moodle-sans.csv --moodle-langue=en -o /dev/null \
  test.txt attendu.resultat remises 2>erreurs-sans
python3 - <<'PY' || echecs=$((echecs + 1))
import csv, os, sys
fautes = []
def verifier(condition, quoi):
    if not condition:
        fautes.append(quoi)
def lire(fichier):
    return list(csv.reader(open(fichier, encoding="utf-8", newline="")))
telechargee, remplie = lire("feuille-fr.csv"), lire("moodle-fr.csv")
# One row per participant, in the worksheet's order, every column kept but
# the grade and the comment.
verifier(len(remplie) == len(telechargee), "fr : rangées " + repr(remplie))
verifier(remplie[0] == telechargee[0], "fr : en-tête " + repr(remplie[0]))
for avant, apres in zip(telechargee[1:], remplie[1:]):
    verifier(avant[:4] + avant[5:9] == apres[:4] + apres[5:9], "fr : colonnes changées " + repr(apres))
rangee = {r[0]: r for r in remplie[1:]}
verifier(rangee["Participant 101"][4] == "20" and rangee["Participant 101"][9].startswith("Note 20/20"),
         "fr : 101 " + repr(rangee["Participant 101"]))
note = rangee["Participant 102"][4]
verifier(0 < float(note.replace(",", ".")) < 20, "fr : 102 " + repr(note))
# The absent and the text-only student: nothing written, no feedback file.
for p in ("103", "104"):
    verifier(rangee["Participant " + p][4] == "" and rangee["Participant " + p][9] == "", "fr : absent " + p)
dossiers = os.listdir("retours")
verifier(not any(d.startswith(("Inès", "Texte")) for d in dossiers), "retours des absents " + repr(dossiers))
# Locked and hand-graded rows stay as downloaded, byte for byte.
brut = open("feuille-fr.csv", encoding="utf-8").read().splitlines()
brutRempli = open("moodle-fr.csv", encoding="utf-8").read().splitlines()
verifier(brut[5:7] == brutRempli[5:7], "fr : 105 et 106 changées " + repr(brutRempli[5:7]))
erreurs = open("erreurs-fr", encoding="utf-8").read()
verifier("Groupe A_9001_assignsubmission_file_/votre.resultat : participant 9001 absent de la feuille" in erreurs,
         "avertissement du groupe : " + erreurs)
verifier("1 note que le carnet de notes ne laisse pas modifier" in erreurs and "Participant 105" in erreurs,
         "avertissement du verrou : " + erreurs)
# The group's feedback is not named for a participant.
verifier("Groupe A_9001_assignsubmission_file_" in dossiers and "Groupe A_9001_assignfeedback_file_" not in dossiers,
         "retour du groupe " + repr(dossiers))
# Without a scheme, the share of lines times the worksheet's maximum.
dix = {r[0]: r for r in lire("moodle-10.csv")[1:]}
verifier(dix["Participant 101"][4] == "10" and dix["Participant 102"][4] == "9,33", "sur 10, virgule décimale " + repr(dix))
# Blind marking, English: the worksheet's own header, order and line ends;
# a decimal point.
anglaise = lire("moodle-en.csv")
verifier(anglaise[0] == lire("feuille-en.csv")[0] and [r[0] for r in anglaise[1:]] == ["Participant 202", "Participant 201"],
         "en : " + repr(anglaise))
verifier(anglaise[2][2] == "20" and "." in anglaise[1][2] or anglaise[1][2].isdigit(), "en : notes " + repr(anglaise))
verifier(open("moodle-en.csv", "rb").read().count(b"\r\n") == 3, "en : fins de ligne")
# Without a worksheet: today's file, but the absent's cells empty, and the
# closing line says what to set on the assignment.
sans = {r[0]: r for r in lire("moodle-sans.csv")[1:]}
verifier(sans["Participant 103"][2:3] == [""] and sans["Participant 103"][5] == "", "sans feuille : absent " + repr(sans))
derniere = open("erreurs-sans", encoding="utf-8").read().splitlines()[-1]
verifier("note maximale du devoir à régler sur 20" in derniere and "Moodle est en anglais" in derniere,
         "ligne finale : " + derniere)
for f in fautes:
    print("ÉCHEC", f)
sys.exit(1 if fautes else 0)
PY

# Refused before anything is written: a maximum of 10 against "sur 20", a
# scale, --moodle without a scheme or a worksheet.
for arguments in "--bareme=bareme.txt --moodle-feuille=feuille-10.csv" "--moodle-feuille=feuille-echelle.csv" \
  "--bareme=bareme-10.txt --moodle-feuille=feuille-fr.csv" ""; do
  rm -f t.tsv m.csv
  # shellcheck disable=SC2086
  "$classe" $arguments --moodle=m.csv -o t.tsv test.txt attendu.resultat remises 2>refus
  statut=$?
  [ $statut = 2 ] && [ ! -e t.tsv ] && [ ! -e m.csv ] && [ "$(wc -l <refus)" = 1 ] \
    || echouer "statut $statut pour « $arguments » : $(cat refus)"
done
grep -q "note maximale du devoir 10, barème sur 20" <(
  "$classe" --bareme=bareme.txt --moodle-feuille=feuille-10.csv --moodle=m.csv test.txt attendu.resultat remises 2>&1) \
  || echouer "message de la note maximale"

# A class whose programs are run, on a public set and a hidden one. One
# program tells the hidden set by its status, and writes characters that
# show nothing or reorder text; one does not build and says so with them;
# one folder's name holds them. Beside: an online-text folder, a text-only
# student, an empty folder.
python3 - <<'PY'
import os, random
random.seed(3233)
def jeu(chemin, noms, n):
    test, attendu = [], []
    for i in range(n):
        qui = random.choice(noms)
        test.append(f"trace {qui} {i}" if i % 2 else f"localiser {qui} {i}")
        attendu.append(f"{qui} : {i}")
    open(chemin + ".txt", "w").write("\n".join(test) + "\n")
    open(chemin + ".resultat", "w").write("\n".join(attendu) + "\n")
os.makedirs("jeux/caches")
jeu("jeux/public", ["Zoé", "Bob"], 30)
jeu("jeux/caches/grand", ["Secret", "Cachée"], 50)
juste = "awk '{ print $2 \" : \" $3 }'"
invisibles = "\u202e\u200b\u2028\u2029\ufeff"
programmes = {
    "Alice Nom_301": juste,
    "Bob Fuite_302": f"tee entree.txt | awk '{{ if ($3 == 4) print \"{invisibles}\"; else print $2 \" : \" $3 }}'\n"
                     f"echo '{invisibles} sur la sortie d erreur' >&2\n"
                     "grep -q Secret entree.txt && exit 83\nexit 0",
    f"Zoé{invisibles}Bidi_303": juste,
    "Casse Build_304": juste,
}
for nom, programme in programmes.items():
    os.makedirs(f"classe/{nom}_assignsubmission_file_")
    open(f"classe/{nom}_assignsubmission_file_/prog.sh", "w").write(programme + "\n")
open("classe/Casse Build_304_assignsubmission_file_/erreur.txt", "w").write(f"prog.c:1: error: {invisibles}\n")
os.makedirs("classe/Alice Nom_301_assignsubmission_onlinetext_")
open("classe/Alice Nom_301_assignsubmission_onlinetext_/onlinetext.html", "w").write("<p>Fait.</p>\n")
os.makedirs("classe/Texte Seul_305_assignsubmission_onlinetext_")
open("classe/Texte Seul_305_assignsubmission_onlinetext_/onlinetext.html", "w").write("<p>Oublié.</p>\n")
os.makedirs("classe/Absent Vide_306_assignsubmission_file_")
open("bareme-jeux.txt", "w").write("jeu public 40 %\njeu grand 60 %\narrondi 0,5\n")
open("meta.json", "w").write('{"id": 1, "assignment": {"id": 2, "title": "TP 3", "total_points": "20.0", '
                             '"outline": [{"type": "x", "weight": 3.0}]}, "users": [{"name": "Bob"}]}')
open("meta-10.json", "w").write('{"assignment": {"total_points": 10}}')
PY
mkdir html
"$classe" --sans-bac-a-sable --temps=2 --construire='! cat erreur.txt 2>/dev/null' --executer='sh prog.sh' \
  --jeux=jeux --bareme=bareme-jeux.txt --retours=retours-jeux --moodle=moodle-jeux.csv --junit=junit.xml \
  --html=html/classe.html -o notes-jeux.tsv classe/*/ 2>erreurs-jeux
bob="classe/Bob Fuite_302_assignsubmission_file_/"
"$classe" --sans-bac-a-sable --executer='sh prog.sh' --jeux=jeux --gradescope=results.json \
  --gradescope-metadonnees=meta.json -o /dev/null "$bob" 2>/dev/null
"$classe" --sans-bac-a-sable --executer='sh prog.sh' --jeux=jeux --bareme=bareme-jeux.txt \
  --gradescope=results-bareme.json --gradescope-visibilite=after_due_date -o /dev/null "$bob" 2>/dev/null
python3 - <<'PY' || echecs=$((echecs + 1))
import csv, json, os, sys, xml.etree.ElementTree as ET
from decimal import Decimal
fautes = []
def verifier(condition, quoi):
    if not condition:
        fautes.append(quoi)
# The grader's table keeps the status.
table = {r["remise"].split("_")[0]: r for r in csv.DictReader(open("notes-jeux.tsv", encoding="utf-8"), dialect="excel-tab")}
verifier(table["Bob Fuite"]["grand.fin"] == "statut 83", "tableau : " + repr(table["Bob Fuite"]))
# What a student may read.
lus = {d: open(f"retours-jeux/{d}/retour.txt", encoding="utf-8").read() for d in os.listdir("retours-jeux")}
lus["html"] = open("html/classe.html", encoding="utf-8").read()
lus["junit"] = open("junit.xml", encoding="utf-8").read()
for f in ("results.json", "results-bareme.json"):
    lus[f] = json.dumps(json.load(open(f, encoding="utf-8")), ensure_ascii=False)
for quoi, texte in lus.items():
    verifier("statut 83" not in texte and "Secret" not in texte, "le jeu caché se lit dans " + quoi)
    verifier(not any(c in texte for c in "\u202e\u200b\u2028\u2029\ufeff"), "caractère invisible dans " + quoi)
bob = lus["Bob Fuite_302_assignfeedback_file_"]
verifier("Jeu « grand » (caché) — fin : statut non nul\n" in bob, "retour de Bob : " + bob)
verifier(" s, " in bob.split("Jeu « public »")[1], "retour de Bob : le jeu public sans ses mesures")
verifier("statut non nul" in lus["html"], "html : catégorie")
verifier("sur la sortie d erreur" in bob and "error: ?" in lus["Casse Build_304_assignfeedback_file_"], "retours : sorties")
# One participant, one row, in both modes: the online-text folder adds none,
# the text-only student is absent; no feedback for either absent.
moodle = list(csv.DictReader(open("moodle-jeux.csv", encoding="utf-8", newline="")))
ids = [m["Identifiant"] for m in moodle]
verifier(len(ids) == len(set(ids)) == 6, "moodle : une rangée par participant " + repr(ids))
parId = {m["Identifiant"]: m for m in moodle}
verifier(parId.get("Participant301", {}).get("Note") == "20", "moodle : 301 " + repr(parId.get("Participant301")))
for p in ("305", "306"):
    verifier(parId.get("Participant" + p, {}).get("Note") == "" and parId["Participant" + p]["Feedback par commentaires"] == "",
             "moodle : absent " + p + " " + repr(parId.get("Participant" + p)))
verifier(not any(d.startswith(("Texte Seul", "Absent Vide")) for d in lus), "retours des absents " + repr(list(lus)))
# JUnit: GitLab shows a failure's text, Jenkins splits a classname at dots.
racine = ET.parse("junit.xml").getroot()
for suite in racine.iter("testsuite"):
    cas = suite.findall("testcase")
    verifier(int(suite.get("skipped")) == sum(c.find("skipped") is not None for c in cas), "junit : sautés")
    for c in cas:
        verifier("." not in c.get("classname"), "junit : point dans " + c.get("classname"))
        echec = c.find("failure")
        if echec is not None:
            verifier(echec.text and echec.text.startswith(echec.get("message")), "junit : texte vide " + repr(echec.text))
        if suite.get("name").startswith("Alice") and c.get("name").startswith("public"):
            verifier(c.get("time") is not None and float(c.get("time")) >= 0, "junit : temps")
        if c.get("name").startswith("grand"):
            verifier(c.get("time") is None, "junit : temps d'un jeu caché")
    if suite.get("name").startswith(("Absent", "Texte")):
        verifier(len(cas) > 0 and all(c.find("skipped") is not None for c in cas), "junit : absent sauté")
# results.json: scores that add up, hidden sets shown once published, the
# visible output without them nor the total.
for f, sur, visibilite in (("results.json", 20, "after_published"), ("results-bareme.json", 20, "after_due_date")):
    r = json.load(open(f, encoding="utf-8"), parse_float=Decimal)
    verifier(sum(t["max_score"] for t in r["tests"]) == sur, f + " : maxima " + repr([t["max_score"] for t in r["tests"]]))
    verifier(sum(t["score"] for t in r["tests"]) == r["score"], f + " : somme des scores")
    verifier({t["visibility"] for t in r["tests"] if t["name"].startswith("grand")} == {visibilite}, f + " : visibilité")
    verifier("grand" not in r["output"] and "Note" not in r["output"] and "Lignes" not in r["output"]
             and "public" in r["output"], f + " : output " + r["output"])
    verifier(0 < r["score"] < sur, f + " : score " + str(r["score"]))
for f in fautes:
    print("ÉCHEC", f)
sys.exit(1 if fautes else 0)
PY

# Gradescope's points: the scheme's scale and the assignment's must agree,
# and one of them is needed.
for arguments in "--bareme=bareme-jeux.txt --gradescope-metadonnees=meta-10.json" "" \
  "--gradescope-metadonnees=absent.json"; do
  rm -f r.json
  # shellcheck disable=SC2086
  "$classe" --sans-bac-a-sable --executer='sh prog.sh' --jeux=jeux $arguments --gradescope=r.json -o /dev/null \
    "$bob" 2>refus
  statut=$?
  [ $statut = 2 ] && [ ! -s r.json ] && [ "$(wc -l <refus)" = 1 ] || echouer "statut $statut pour « $arguments » : $(cat refus)"
done

[ $echecs = 0 ] && echo "règles des plateformes : tout va bien"
exit $((echecs > 0))
