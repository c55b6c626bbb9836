#ifndef VALIDEUR_CLASSE_TABLEAU_H
#define VALIDEUR_CLASSE_TABLEAU_H

#include <cstddef>
#include <ostream>
#include <string>
#include <string_view>

// A table as a spreadsheet reads it: tab-separated values, or RFC 4180 CSV
// with ';' between fields, as French spreadsheets expect.
enum class Format { tsv, csv };

// The UTF-8 byte order mark that --bom puts first, for spreadsheets that
// need it to read accents.
inline constexpr std::string_view marqueOrdre = "\xEF\xBB\xBF";

// The text with every byte that could act on a terminal or break a table
// replaced by '?': the C0 controls (tab and newline included) and DEL, the
// C1 controls in UTF-8, the line and paragraph separators, the
// bidirectional controls, the code points that show nothing, and every byte
// outside a valid UTF-8 sequence. A carriage return, which a grader wants to
// see, reads "\r".
std::string rendreInoffensif(std::string_view texte);

// The length of the valid UTF-8 sequence at `i`, or 0 when the byte there
// does not begin one.
std::size_t mesurerSequence(std::string_view texte, std::size_t i);

// One text cell, made harmless, quoted in CSV when it holds a ';' or a
// double quote (doubled inside). A leading apostrophe makes inert a CSV
// cell that a spreadsheet would take for a formula (first character = + - @)
// and a TSV field that a quote-aware reader would take for a quoted one.
void ecrireTexte(std::ostream& sortie, std::string_view texte, Format format);

// What goes between two cells, and what ends a row (CRLF in CSV).
void ecrireSeparateur(std::ostream& sortie, Format format);
void ecrireFinRangee(std::ostream& sortie, Format format);

#endif
