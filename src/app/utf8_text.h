// Texts written in the sources as UTF-8 literals, as Qt strings.
#pragma once
#include <QString>

namespace bm {

inline QString U(const char* utf8) { return QString::fromUtf8(utf8); }

}  // namespace bm
