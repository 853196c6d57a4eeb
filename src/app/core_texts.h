// Texts of the Qt-free layers (inspector captions and reasons, printer errors) in the interface language.
#pragma once
#include <QString>
#include <string>

namespace bm {

// The translation of text, a fixed message of a layer below the windows
// (UTF-8, exactly as that layer gives it); text itself when it has none.
QString CoreText(const std::string& text);

}  // namespace bm
