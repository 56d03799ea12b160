#pragma once

#include <QString>
#include <ostream>

// GoogleTest shows QStrings as their text.
inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}
