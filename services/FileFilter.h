#pragma once

#include <QString>

// Turns a dialog filter of the form "description|pattern;pattern" into Qt's
// "description (pattern pattern)". Several "description|patterns" pairs in a
// row become Qt filters separated by ";;". Text without "|" is taken as bare
// patterns; empty text stays empty (all files).
QString ToQtFileFilter(const QString& filter);
