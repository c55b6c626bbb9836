#ifndef VALIDEUR_CLASSE_NOTES_H
#define VALIDEUR_CLASSE_NOTES_H

#include "classe/notation/notation.h"
#include "classe/resultats/bareme.h"
#include "classe/sorties/tableau.h"

#include <ostream>
#include <string_view>
#include <vector>

// The header of the column of lines that agree once realigned.
inline constexpr std::string_view enteteRealignees = "r\xC3\xA9" "align\xC3\xA9" "es";

// The counts of a row, each followed by a separator: the five words, the
// others, the total.
void ecrireComptes(std::ostream& sortie, const Comptes& comptes, std::int64_t autres, Format format);

// The end of the maximum row: `lignes`, the test lines that can agree once
// realigned, and the scale of the mark; then the row's end.
void ecrireFinMaximum(std::ostream& sortie, std::int64_t lignes, Format format, const Bareme* bareme);

// The end of a row, from its status to its mark, and the row's end.
void ecrireFinNote(std::ostream& sortie, const Note& note, Format format, const Bareme* bareme);

// The table of notes: a header, the maxima (the lines of each word the test
// file holds, as the loop counts them), then one row per submission in the
// order given. Counts per reported word, then every other word together,
// then the total; a submission that could not be graded has empty counts.
// With a scheme, a last column: the mark, and the scale on the maxima's row.
void ecrireNotes(std::ostream& sortie, const Decomptes& maxima, const std::vector<Note>& notes,
                 Format format, const Bareme* bareme = nullptr);

#endif
