#ifndef VALIDEUR_CLASSE_PARTAGE_H
#define VALIDEUR_CLASSE_PARTAGE_H

#include "classe/vue/vue.h"

#include <cstddef>
#include <istream>
#include <ostream>
#include <string>

// A class graded in N shares, one per machine: share I takes a stable slice
// of the rows in their sorted order, so that every machine, finding the
// same submissions, computes the same shares.

struct Tranche {
    std::size_t debut = 0;
    std::size_t fin = 0; // past the last
};

// The rows of share `part` (from 1) of `parts` among `total`.
Tranche choisirPart(std::size_t total, std::size_t part, std::size_t parts);

// What a share's class view must keep for the merge to be exact: every
// wrong result of every line, its hash and count, and the submissions
// counted. Text, one record a line, its fields separated by tabs and
// escaped (\\ \t \n \r).
constexpr std::string_view enteteVuePartielle = "valideur-classe vue partielle\t";
void ecrireVuePartielle(std::ostream& sortie, const VueClasse& vue, std::size_t part, std::size_t parts);

// Adds a share's view read from `texte` (its first line included) into
// `vue`; gives its share. False, with `erreur`, when it is not one.
bool ajouterVuePartielle(std::string_view texte, VueClasse& vue, std::size_t& part, std::size_t& parts,
                         std::string& erreur);

#endif
