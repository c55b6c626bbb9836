#ifndef VALIDEUR_CLASSE_FEUILLE_MOODLE_H
#define VALIDEUR_CLASSE_FEUILLE_MOODLE_H

#include <cstddef>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

// The grading worksheet a Moodle assignment gives for download, filled in
// and given back. Its importer finds its columns by name in the importing
// teacher's language, skips a grade above the maximum, and skips a row whose
// grade changed in Moodle after the "last modified (grade)" time the row
// holds: so the worksheet is kept as downloaded, header, identifiers, row
// order, every column and value, and only the grade and feedback comment
// of a participant graded here change. Comma-separated, RFC 4180 quotes.

struct RangeeFeuille {
    std::vector<std::string> cellules;
    std::string brut; // as read, line end excluded: what is written back when unchanged
    std::string fin;  // the line end read
    bool changee = false;
};

struct FeuilleMoodle {
    std::string marque; // a byte order mark before the header, kept
    std::vector<RangeeFeuille> rangees; // the header first
    std::size_t identifiant = 0;
    std::size_t note = 0;
    std::optional<std::size_t> modifiable;  // "Grade can be changed"
    std::optional<std::size_t> commentaire; // the feedback comments plugin's column
    double maximum = 0;
    char separateur = '.'; // the decimal separator of the language it was downloaded in
};

// Reads a worksheet. False with `erreur` set, in French, when it is none,
// or when its assignment is graded on a scale (no numeric maximum).
bool lireFeuilleMoodle(std::string_view texte, FeuilleMoodle& feuille, std::string& erreur);

// The participant number a row's identifier ends with ("Participant 123456"),
// empty for none.
std::string numeroRangee(const FeuilleMoodle& feuille, const RangeeFeuille& rangee);

// Whether the gradebook lets the grade of a row change (not locked nor
// overridden there).
bool estModifiable(const FeuilleMoodle& feuille, const RangeeFeuille& rangee);

// Sets a row's grade and comment, the grade written as the worksheet writes
// numbers.
void remplirRangee(const FeuilleMoodle& feuille, RangeeFeuille& rangee, double note, int decimales,
                   const std::string& commentaire);

void ecrireFeuilleMoodle(std::ostream& sortie, const FeuilleMoodle& feuille);

#endif
