#ifndef VALIDEUR_CLASSE_TABLES_H
#define VALIDEUR_CLASSE_TABLES_H

// Floor tables/: the class's tables, of results files (notes.h) and of
// runs (notes_jeux.h); a class graded in shares (partage.h), the slip
// each share leaves (bordereau.h, written by releve.h), and its shares
// checked (controle_parts.h) and merged back (fusion.h). Includes options/
// and everything below it.

#endif
