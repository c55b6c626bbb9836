#!/usr/bin/env bash
# valideur-classe's files for course platforms, CI and the class report, each
# read back by a parser of its own kind: Moodle's worksheet and the tables by
# Python's csv module as a spreadsheet reads them, results.json by json,
# JUnit by xml.etree, the report by an HTML parser and then rendered by
# headless Chromium. The class, generated here, has every outcome a grader
# meets: full marks, partial, shifted, CRLF, cut short, empty, absent.
set -u
export LC_ALL=C.UTF-8
classe=$1
tmp=$(mktemp -d)
trap '[ -n "${GARDER:-}" ] || rm -rf "$tmp"' EXIT
echecs=0
echouer() { echo "ÉCHEC $*"; echecs=$((echecs + 1)); }
cd "$tmp" || exit 1

python3 - <<'PY'
import os, random
random.seed(28)
noms = ["Zoé", "Élodie", "Bob", "Anaïs", "Li Wei", "O'Brien"]
mots = ["trace", "localiser", "presences", "frequentations", "duree_rencontres", "aide"]
test, attendu = [], []
for i in range(80):
    mot = mots[i % 6] if i < 12 else random.choice(mots)
    qui = random.choice(noms)
    test.append(f"{mot} {qui} {i}")
    if mot == "aide":
        attendu.append("")                      # empty expected lines
    elif mot == "localiser" and i % 5 == 0:
        attendu.append(f"{qui} : salle-A")      # repeated ones
    elif i == 40:
        attendu.append("x" * 3000)              # a long one
    else:
        attendu.append(f"{qui} : {i * 7 % 13} rencontres, « {i} »")
open("test.txt", "w").write("\n".join(test) + "\n")
open("attendu.resultat", "w").write("\n".join(attendu) + "\n")
def remise(nom, lignes, fin="\n", brut=None):
    os.makedirs(f"remises/{nom}", exist_ok=True)
    with open(f"remises/{nom}/votre.resultat", "wb") as f:
        f.write(brut if brut is not None else (fin.join(lignes) + fin).encode())
remise("Dupont Marie_101_assignsubmission_file_", attendu)
partiel = list(attendu); partiel[3] = "faux"; partiel[9] = "Zoé : 0 rencontres"; partiel[50] = "faux"
remise("Zoé Martin_102_assignsubmission_file_", partiel)
remise("Li Wei_103_assignsubmission_file_", attendu[:20] + attendu[21:])       # shifted
remise("Gaëlle Roy_104_assignsubmission_file_", attendu, fin="\r\n")           # CRLF
remise("Hugo Petit_105_assignsubmission_file_", [], brut=("\n".join(attendu[:30]) + "\n" + attendu[30][:5]).encode())
remise("O'Brien, <Ana>_106_assignsubmission_file_", [], brut=b"")             # empty
os.makedirs("remises/Ines Absente_107_assignsubmission_file_")               # absent
os.makedirs("remises/sans-numero")
remise("sans-numero", partiel)
open("bareme.txt", "w").write("# exercise\nsur 20\narrondi 0,5\nmot localiser 2\nmot autres 0\n")
PY

mkdir rapport
"$classe" --bareme=bareme.txt --retours=retours --moodle=moodle.csv --junit=junit.xml --html=rapport/classe.html \
  -o notes.tsv test.txt attendu.resultat remises/*/ 2>erreurs
grep -q "1 remise absente de la feuille, sans num" erreurs || echouer "avertissement Moodle : $(cat erreurs)"
"$classe" --bareme=bareme.txt --csv -o notes.csv --moodle=moodle-en.csv --moodle-langue=en \
  test.txt attendu.resultat remises 2>/dev/null
"$classe" --bareme=bareme.txt --gradescope=results.json --retours=un \
  test.txt attendu.resultat "remises/Zoé Martin_102_assignsubmission_file_/" >/dev/null 2>&1 \
  || echouer "gradescope : statut $?"

python3 - <<'PY' || echecs=$((echecs + 1))
import csv, json, os, sys, xml.etree.ElementTree as ET
from html.parser import HTMLParser
fautes = []
def verifier(condition, quoi):
    if not condition:
        fautes.append(quoi)

# The table: a `note` column, a decimal point in TSV, a comma in French CSV.
rangees = list(csv.reader(open("notes.tsv", encoding="utf-8"), dialect="excel-tab"))
verifier(rangees[0][-1] == "note", "TSV : colonne note")
notes = {r[0].split("/")[0]: r[-1] for r in rangees[2:]}
verifier(notes["Dupont Marie_101_assignsubmission_file_"] == "20", "TSV : note pleine")
verifier(notes["Ines Absente_107_assignsubmission_file_"] == "", "TSV : absent sans note")
verifier(all(n == "" or 0 <= float(n) <= 20 for n in notes.values()), "TSV : notes décimales")
partielle = float(notes["Zoé Martin_102_assignsubmission_file_"])
verifier(0 < partielle < 20 and partielle * 2 == int(partielle * 2), "TSV : arrondi au demi-point")
csvfr = list(csv.reader(open("notes.csv", encoding="utf-8", newline=""), delimiter=";"))
notesfr = {r[0].split("/")[0]: r[-1] for r in csvfr[2:]}
verifier(notesfr["Zoé Martin_102_assignsubmission_file_"] == str(partielle).replace(".", ",").removesuffix(",0"),
         "CSV : virgule décimale " + repr(notesfr))

# Moodle: the importer's exact columns, identifiers and grades.
for fichier, colonnes, participant in [
        ("moodle.csv", ["Identifiant", "Note", "Dernière modification (note)", "Feedback par commentaires"], "Participant"),
        ("moodle-en.csv", ["Identifier", "Grade", "Last modified (grade)", "Feedback comments"], "Participant ")]:
    lignes = list(csv.DictReader(open(fichier, encoding="utf-8", newline="")))
    entete = list(lignes[0].keys())
    verifier(all(c in entete for c in colonnes), fichier + " : colonnes " + repr(entete))
    verifier(entete[0] != colonnes[3], fichier + " : commentaire en premier")
    ids = {l[colonnes[0]]: l for l in lignes}
    verifier(len(ids) == 7, fichier + " : 7 participants " + repr(list(ids)))
    verifier(ids[participant + "101"][colonnes[1]] == "20", fichier + " : note 101")
    verifier(ids[participant + "107"][colonnes[1]] == "", fichier + " : absent")
    verifier(all(l[colonnes[1]] == "" or 0 <= float(l[colonnes[1]]) <= 20 for l in lignes), fichier + " : notes")
    verifier(ids[participant + "106"]["Nom complet" if participant == "Participant" else "Full name"] == "O'Brien, <Ana>",
             fichier + " : nom complet")

# Feedback: one folder per submission as Moodle's upload reads it, at most
# 60 lines of UTF-8 each.
dossiers = sorted(os.listdir("retours"))
# A student who handed nothing in gets no feedback file.
verifier("Dupont Marie_101_assignfeedback_file_" in dossiers and "sans-numero" in dossiers and len(dossiers) == 7,
         "retours : dossiers " + repr(dossiers))
for d in dossiers:
    texte = open(f"retours/{d}/retour.txt", encoding="utf-8").read()
    verifier(texte.count("\n") <= 60, d + " : plus de 60 lignes")
    # A student ran no command: no advice to run it again.
    verifier("relancer" not in texte, d + " : conseil de relancer")
li = open("retours/Li Wei_103_assignfeedback_file_/retour.txt", encoding="utf-8").read()
verifier("semble manquer" in li and "Récapitulatif" in li, "retour décalé : " + li)
verifier("\\r" in open("retours/Gaëlle Roy_104_assignfeedback_file_/retour.txt", encoding="utf-8").read(), "retour CRLF")

# JUnit: one testsuite per submission, (classname, name) unique, a failure
# holding the first failing line when a word is not full.
racine = ET.parse("junit.xml").getroot()
suites = racine.findall("testsuite")
verifier(len(suites) == 8, "junit : suites")
cles = [(c.get("classname"), c.get("name")) for c in racine.iter("testcase")]
verifier(len(cles) == len(set(cles)), "junit : paires classname/name en double")
for suite in suites:
    echecs = [c for c in suite.findall("testcase") if c.find("failure") is not None]
    verifier(int(suite.get("failures")) == len(echecs), "junit : compte des échecs")
    if suite.get("name").startswith("Dupont"):
        verifier(not echecs, "junit : remise pleine en échec")
    if suite.get("name").startswith("Zoé"):
        verifier(echecs and all("Ligne #" in (c.find("failure").text or "") for c in echecs), "junit : ligne fautive")

# results.json: the fields and values the platform's schema documents.
r = json.load(open("results.json", encoding="utf-8"))
verifier(isinstance(r["score"], (int, float)) and abs(r["score"] - partielle) < 1e-9, "json : score")
verifier(isinstance(r["output"], str) and "Note" in r["output"], "json : output")
for t in r["tests"]:
    verifier(set(t) >= {"name", "score", "max_score", "status", "visibility", "output"}, "json : champs")
    verifier(t["status"] in ("passed", "failed") and t["visibility"] in ("visible", "after_published"), "json : valeurs")
    if t["max_score"] > 0:
        verifier((t["status"] == "passed") == (t["score"] == t["max_score"]), "json : statut et score")
verifier(abs(sum(t["score"] for t in r["tests"]) - r["score"]) <= 0.25 + 1e-6, "json : somme des scores")

# The report: well-formed, nothing from elsewhere, links that lead to the
# feedback files.
class Lecteur(HTMLParser):
    def __init__(self):
        super().__init__()
        self.liens, self.externes, self.pile = [], [], []
    def handle_starttag(self, balise, attributs):
        a = dict(attributs)
        if balise == "a":
            self.liens.append(a["href"])
        if balise in ("script", "link", "img", "iframe") or any(v and "//" in v for v in a.values()):
            self.externes.append(balise)
lecteur = Lecteur()
lecteur.feed(open("rapport/classe.html", encoding="utf-8").read())
verifier(not lecteur.externes, "html : ressources externes " + repr(lecteur.externes))
verifier(len(lecteur.liens) == 7, "html : liens " + repr(lecteur.liens))
from urllib.parse import unquote
for lien in lecteur.liens:
    verifier(os.path.isfile(os.path.join("rapport", unquote(lien))), "html : lien mort " + lien)
for f in fautes:
    print("ÉCHEC", f)
sys.exit(1 if fautes else 0)
PY

# A link planted among the feedback folders is not followed.
mkdir -p lien/retours lien/ailleurs "lien/r/Bob_9_assignsubmission_file_"
cp "remises/Dupont Marie_101_assignsubmission_file_/votre.resultat" "lien/r/Bob_9_assignsubmission_file_/"
ln -s ../ailleurs "lien/retours/Bob_9_assignsubmission_file_"
"$classe" --retours=lien/retours -o /dev/null test.txt attendu.resultat lien/r/*/ 2>/dev/null
[ -z "$(ls -A lien/ailleurs)" ] || echouer "retour écrit à travers un lien"

# The same files for a class whose programs are run, on a public set and a
# hidden one: every way a run ends, and never a line of the hidden set in
# what a student may read. The format is what is tested, not the sandbox.
python3 - <<'PY'
import os, random
random.seed(2028)
mots = ["trace", "localiser", "presences", "frequentations", "duree_rencontres", "aide"]
def jeu(chemin, noms, n):
    test, attendu = [], []
    for i in range(n):
        mot = random.choice(mots)
        qui = random.choice(noms)
        test.append(f"{mot} {qui} {i}")
        attendu.append("" if mot == "aide" else f"{qui} : {i}")
    open(chemin + ".txt", "w").write("\n".join(test) + "\n")
    open(chemin + ".resultat", "w").write("\n".join(attendu) + "\n")
os.makedirs("jeux/caches")
jeu("jeux/public", ["Zoé", "Anaïs", "Bob"], 40)
jeu("jeux/caches/grand", ["Secret", "Cachée"], 300)
juste = """{ if ($1 == "aide") print ""; else print $2 " : " $3 }"""
programmes = {
    "pleine": f"awk '{juste}'",
    "partielle": """awk '{ if ($1 == "aide") print ""; else if ($3 % 7 == 0) print "x"; else print $2 " : " $3 }'""",
    "decalee": f"awk 'NR == 5 {{ next }} {juste}'",
    "crlf": f"awk '{juste}' | sed 's/$/\\r/'",
    "coupee": f"awk 'NR > 30 {{ exit }} {juste}'",
    "temps": f"head -n 10 | awk '{juste}'\nwhile :; do :; done",
    "plantage": f"head -n 10 | awk '{juste}'\necho 'Erreur de segmentation' >&2\nkill -SEGV $$",
    "compile": "exit 0",
}
for nom, programme in programmes.items():
    os.makedirs(f"classe/{nom}_{len(nom)}_assignsubmission_file_")
    open(f"classe/{nom}_{len(nom)}_assignsubmission_file_/prog.sh", "w").write(programme + "\n")
os.makedirs("classe/absent_6_assignsubmission_file_")  # handed nothing in
# The platform's online text: beside a student's files no row more; alone,
# a student who handed no program in.
for nom, texte in (("pleine_6", "<p>fait</p>"), ("texte_55", "<p>voir mon code</p>")):
    os.makedirs(f"classe/{nom}_assignsubmission_onlinetext_")
    open(f"classe/{nom}_assignsubmission_onlinetext_/onlinetext.html", "w").write(texte + "\n")
open("classe/compile_7_assignsubmission_file_/erreur.txt", "w").write("prog.c:3:1: error: expected ';' before '}' token\n")
open("bareme-jeux.txt", "w").write("jeu public 20\njeu grand 80\n")
PY
mkdir rapport-jeux
# Files of a longer earlier class are replaced whole.
for f in notes-jeux.tsv moodle-jeux.csv junit-jeux.xml; do head -c 300000 /dev/zero | tr '\0' x >"$f"; done
"$classe" --sans-bac-a-sable --temps=1 --construire='! cat erreur.txt 2>/dev/null' --executer='sh prog.sh' \
  --jeux=jeux --bareme=bareme-jeux.txt --retours=retours-jeux --moodle=moodle-jeux.csv --junit=junit-jeux.xml \
  --html=rapport-jeux/classe.html -o notes-jeux.tsv classe/*/ 2>erreurs-jeux
"$classe" --sans-bac-a-sable --temps=1 --executer='sh prog.sh' --jeux=jeux --bareme=bareme-jeux.txt \
  --gradescope=results-jeux.json classe/partielle_9_assignsubmission_file_/ >/dev/null 2>&1
python3 - <<'PY' || echecs=$((echecs + 1))
import csv, json, os, sys, xml.etree.ElementTree as ET
fautes = []
def verifier(condition, quoi):
    if not condition:
        fautes.append(quoi)
rangees = list(csv.DictReader(open("notes-jeux.tsv", encoding="utf-8"), dialect="excel-tab"))
fins = {r["remise"].split("_")[0]: r["public.fin"] for r in rangees[1:]}
attendues = {"pleine": "normale", "partielle": "normale", "decalee": "normale", "crlf": "normale",
             "coupee": "normale", "temps": "temps dépassé", "compile": "ne compile pas"}
for nom, fin in attendues.items():
    verifier(fins.get(nom) == fin, f"fin de {nom} : {fins.get(nom)!r}")
verifier(fins.get("plantage", "").startswith("plantage (SIGSEGV"), "fin du plantage : " + repr(fins.get("plantage")))
notes = {r["remise"].split("_")[0]: r["note"] for r in rangees[1:]}
verifier(notes["pleine"] == "20" and notes["compile"] == "0", "notes : " + repr(notes))
verifier(notes.pop("absent") == "" and rangees[1]["statut"] == "absent" and rangees[1]["public.fin"] == "",
         "absent : " + repr(rangees[1]))
texte = [r for r in rangees[1:] if r["remise"].startswith("texte")]
verifier(notes.pop("texte") == "" and [(r["remise"], r["statut"]) for r in texte]
         == [("texte_55_assignsubmission_onlinetext_", "absent")], "texte en ligne seul : " + repr(texte))
verifier(len(rangees) == 11, f"{len(rangees) - 1} rangées au lieu de 10 : " + repr([r["remise"] for r in rangees]))
verifier(all(0 <= float(n) < 20 for k, n in notes.items() if k != "pleine"), "notes partielles : " + repr(notes))
# Nothing of the hidden set's lines where a student may read.
lus = {}
for d in os.listdir("retours-jeux"):
    lus[d] = open(f"retours-jeux/{d}/retour.txt", encoding="utf-8").read()
    verifier(lus[d].count("\n") <= 60, d + " : plus de 60 lignes")
racine = ET.parse("junit-jeux.xml").getroot()
lus["junit"] = "".join(f.text or "" for f in racine.iter("failure"))
r = json.load(open("results-jeux.json", encoding="utf-8"))
lus["results.json"] = json.dumps(r, ensure_ascii=False)
verifier("relancer" not in lus["results.json"], "json : conseil de relancer")
for quoi, texte in lus.items():
    verifier("Secret" not in texte and "Cachée" not in texte, "ligne d'un jeu caché dans " + quoi)
retour = lambda nom: lus[f"{nom}_{len(nom)}_assignfeedback_file_"]
verifier("expected ';' before" in retour("compile"), "retour : le compilateur")
verifier("temps dépassé" in retour("temps") and "plantage (SIGSEGV" in retour("plantage"), "retour : fins")
verifier("Erreur de segmentation" in retour("plantage"), "retour : sortie d'erreur")
verifier("Jeu « grand » (caché)" in retour("partielle") and "Ligne #" in retour("partielle"), "retour partiel")
cles = [(c.get("classname"), c.get("name")) for c in racine.iter("testcase")]
verifier(len(cles) == len(set(cles)) and len(racine.findall("testsuite")) == 10, "junit : suites et paires")
visibles = {t["visibility"] for t in r["tests"]}
verifier(visibles == {"after_published", "visible"}, "json : visibilités " + repr(visibles))
verifier(abs(r["score"] - float(notes["partielle"])) < 1e-9, "json : score")
# The report's most-missed lines are the public set's, the only one shown.
page = open("rapport-jeux/classe.html", encoding="utf-8").read()
verifier('<tr><td>public</td><td class="n">' in page, "html : lignes manquées du jeu public")
verifier(" %" not in page.replace("&#160;%", ""), "html : un pourcentage séparable de son nombre")
moodle = list(csv.DictReader(open("moodle-jeux.csv", encoding="utf-8", newline="")))
verifier(len(moodle) == 10 and {m["Note"] for m in moodle} >= {"20", "0", ""}, "moodle des jeux")
verifier("absent_6_assignfeedback_file_" not in lus, "retour de l'absent")
for f in fautes:
    print("ÉCHEC", f)
sys.exit(1 if fautes else 0)
PY

# No file for the platforms inside a submission, whose runs would copy it
# and which it could replace, nor feedback folders among the submissions.
for arguments in "--html=classe/pleine_6_assignsubmission_file_/prog.sh" "--retours=classe/" \
  "--retours=classe/pleine_6_assignsubmission_file_/retours"; do
  "$classe" --sans-bac-a-sable --executer='sh prog.sh' --jeux=jeux "$arguments" -o /dev/null classe/*/ 2>/dev/null
  statut=$?
  [ $statut = 2 ] || echouer "statut $statut pour $arguments"
done
grep -q awk classe/pleine_6_assignsubmission_file_/prog.sh && [ ! -e classe/pleine_6_assignsubmission_file_/retour.txt ] \
  || echouer "une remise a changé"

# A real browser renders the report; the picture must hold more than a
# blank page.
profil=$(mktemp -d)
timeout 60 chromium --headless --no-sandbox --disable-gpu --disable-background-networking \
  --disable-component-update --disable-sync --no-first-run --user-data-dir="$profil" \
  --window-size=1000,1400 --screenshot="$tmp/rapport.png" "file://$tmp/rapport-jeux/classe.html" >/dev/null 2>&1
rm -rf "$profil"
python3 - "$tmp/rapport.png" <<'PY' || echouer "rendu de la page par Chromium"
import struct, sys, zlib
donnees = open(sys.argv[1], "rb").read()
assert donnees[:8] == b"\x89PNG\r\n\x1a\n"
largeur, hauteur, profondeur, couleur = struct.unpack(">IIBB", donnees[16:26])
assert (largeur, hauteur) == (1000, 1400), (largeur, hauteur)
i, idat = 8, b""
while i < len(donnees):
    n, sorte = struct.unpack(">I4s", donnees[i:i + 8])
    if sorte == b"IDAT":
        idat += donnees[i + 8:i + 8 + n]
    i += 12 + n
brut = zlib.decompress(idat)
# Distinct byte values over the picture: a blank page has one or two.
assert len(set(brut[::7])) > 20, len(set(brut[::7]))
PY

# Usage errors: status 2, before any file is written.
for arguments in "--bareme=absent.txt" "--bareme=faux.txt" "--moodle-langue=de" "--gradescope=r.json"; do
  printf 'mot localisr 2\n' >faux.txt
  rm -f t.tsv
  "$classe" $arguments -o t.tsv test.txt attendu.resultat remises 2>/dev/null
  statut=$?
  [ $statut = 2 ] || echouer "statut $statut pour $arguments"
  [ ! -e t.tsv ] || [ "$arguments" = "--gradescope=r.json" ] || echouer "tableau écrit malgré $arguments"
done

[ $echecs = 0 ] && echo "plateformes : tout va bien"
exit $((echecs > 0))
