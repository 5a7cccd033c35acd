#pragma once

#include <QString>

// Text from the inputs as HTML or SVG character data or a double-quoted
// attribute value: & < > " ' become references, and control characters,
// which HTML does not allow, become U+FFFD. No input can add markup.
QString Html_Escaped(const QString &text);
