#ifndef VALIDEUR_CLASSE_MOODLE_H
#define VALIDEUR_CLASSE_MOODLE_H

#include <ctime>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>

// The offline grading worksheet that a Moodle assignment imports. Its
// importer finds the columns by their exact names in the site's language:
// the identifier, the grade and the grade's last modification are
// required, the feedback comment goes by its plugin's name and never
// first. The identifier is the "hiddenuser" string and the participant
// number. Comma-separated, a decimal point, an empty grade for none.
enum class LangueMoodle { fr, en };

struct ChainesMoodle {
    std::string_view identifiant;
    std::string_view nomComplet;
    std::string_view note;
    std::string_view noteMax;
    std::string_view modification;
    std::string_view commentaire;
    std::string_view participant; // followed by the number
};

const ChainesMoodle& chainesMoodle(LangueMoodle langue);

// "fr" or "en".
std::optional<LangueMoodle> lireLangueMoodle(std::string_view texte);

// One cell of comma-separated values, quoted when it must be.
std::string citerCsv(std::string_view texte);

// The time of the grading, as its importer reads it: ISO 8601 in UTC.
std::string horodaterMoodle(std::time_t instant);

void ecrireEnteteMoodle(std::ostream& sortie, LangueMoodle langue);

struct RangeeMoodle {
    std::string participant;  // the number
    std::string nomComplet;
    std::optional<double> note;
    int decimales = 2;
    double sur = 20;
    std::string modification; // horodaterMoodle
    std::string commentaire;  // plain text, one line
};

void ecrireRangeeMoodle(std::ostream& sortie, LangueMoodle langue, const RangeeMoodle& rangee);

#endif
