#ifndef VALIDEUR_CLASSE_TABLEAU_H
#define VALIDEUR_CLASSE_TABLEAU_H

#include <cstddef>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

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

// Whether a valid UTF-8 sequence is one of those code points that
// rendreInoffensif replaces: C1 controls, separators, bidirectional
// controls, code points that show nothing.
bool estCaractereDangereux(std::string_view sequence);

// The length of the valid UTF-8 sequence at `i`, or 0 when the byte there
// does not begin one.
std::size_t mesurerSequence(std::string_view texte, std::size_t i);

// The text walked one UTF-8 sequence at a time (an ASCII byte is one): a
// carriage return reads "\r", each byte outside a valid sequence and each
// sequence that `garder` refuses become '?'.
std::string filtrerCaracteres(std::string_view texte, bool (*garder)(std::string_view sequence));

// One text cell, made harmless, quoted in CSV when it holds a ';' or a
// double quote (doubled inside). A leading apostrophe makes inert a CSV
// cell that a spreadsheet would take for a formula (first character = + - @)
// and a TSV field that a quote-aware reader would take for a quoted one.
void ecrireTexte(std::ostream& sortie, std::string_view texte, Format format);

// A CSV field as RFC 4180 writes it: between double quotes, those inside
// doubled, when it holds `separateur` or a double quote, or when `forcer`.
std::string citerChamp(std::string_view champ, char separateur, bool forcer = false);

// Whether a cell would act in a reader, as written: a formula in a
// spreadsheet from its first character in CSV, the start of a quoted field
// in a quote-aware TSV reader.
bool agirait(std::string_view cellule, Format format);

// A table's row cut into its cells as a reader sees them: CSV quotes
// removed, and the apostrophe that kept a cell from acting.
std::vector<std::string> decouperRangee(std::string_view rangee, Format format);

// What goes between two cells, and what ends a row (CRLF in CSV).
void ecrireSeparateur(std::ostream& sortie, Format format);
void ecrireFinRangee(std::ostream& sortie, Format format);

#endif
