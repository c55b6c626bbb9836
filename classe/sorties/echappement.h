#ifndef VALIDEUR_CLASSE_ECHAPPEMENT_H
#define VALIDEUR_CLASSE_ECHAPPEMENT_H

#include <string>
#include <string_view>

// Texts of students' programs written into JSON, XML and HTML, which hold
// only valid UTF-8 and, for XML, only some controls.

// The text with each byte outside a valid UTF-8 sequence, each C0 control
// but tab and newline, DEL, and each code point the tables hide (C1
// controls, bidirectional controls, line and paragraph separators, zero-width
// characters, byte order marks) replaced by '?'; carriage returns read "\r".
// What is left is valid in all three formats and reads as it shows.
std::string assainir(std::string_view texte);

// A JSON string, quotes included.
std::string echapperJson(std::string_view texte);

// Text for XML or HTML content and attribute values.
std::string echapperXml(std::string_view texte);

// A relative path as a URL path: each byte but unreserved ones and '/'
// percent-encoded.
std::string encoderChemin(std::string_view chemin);

#endif
