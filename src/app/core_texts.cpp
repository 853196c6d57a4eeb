// The fixed messages of the Qt-free layers, listed here so that lupdate files them under "CoreTexts".
#include "app/core_texts.h"

#include <QCoreApplication>

namespace bm {

namespace {

// Never read: the list only tells lupdate which texts CoreText translates.
[[maybe_unused]] constexpr const char* kTexts[] = {
    // value inspector captions
    QT_TRANSLATE_NOOP("CoreTexts", "Смещение"),
    QT_TRANSLATE_NOOP("CoreTexts", "Двоичное"),
    QT_TRANSLATE_NOOP("CoreTexts", "Восьмеричное"),
    QT_TRANSLATE_NOOP("CoreTexts", "Символ"),
    // why the inspector refuses a typed value
    QT_TRANSLATE_NOOP("CoreTexts", "Ожидается число"),
    QT_TRANSLATE_NOOP("CoreTexts", "Ожидается целое число"),
    QT_TRANSLATE_NOOP("CoreTexts", "Вне диапазона: от -128 до 127"),
    QT_TRANSLATE_NOOP("CoreTexts", "Вне диапазона: от 0 до 255"),
    QT_TRANSLATE_NOOP("CoreTexts", "Вне диапазона: от -32768 до 32767"),
    QT_TRANSLATE_NOOP("CoreTexts", "Вне диапазона: от 0 до 65535"),
    QT_TRANSLATE_NOOP("CoreTexts", "Вне диапазона: от -2147483648 до 2147483647"),
    QT_TRANSLATE_NOOP("CoreTexts", "Вне диапазона: от 0 до 4294967295"),
    QT_TRANSLATE_NOOP("CoreTexts", "Вне диапазона: от -9223372036854775808 до 9223372036854775807"),
    QT_TRANSLATE_NOOP("CoreTexts", "Вне диапазона: от 0 до 18446744073709551615"),
    QT_TRANSLATE_NOOP("CoreTexts", "Вне данных"),
    QT_TRANSLATE_NOOP("CoreTexts", "Ожидается от 1 до 8 двоичных цифр"),
    QT_TRANSLATE_NOOP("CoreTexts", "Ожидается восьмеричное число от 0 до 377"),
    QT_TRANSLATE_NOOP("CoreTexts", "Вне диапазона: от 0 до 377"),
    QT_TRANSLATE_NOOP("CoreTexts", "Вне диапазона float32: до ±3.4028235e+38"),
    QT_TRANSLATE_NOOP("CoreTexts", "Вне диапазона float64: до ±1.7976931348623157e+308"),
    QT_TRANSLATE_NOOP("CoreTexts", "Ожидается один символ"),
    QT_TRANSLATE_NOOP("CoreTexts", "Символа нет в этой кодировке"),
    QT_TRANSLATE_NOOP("CoreTexts", "Ожидается один символ или U+XXXX"),
    QT_TRANSLATE_NOOP("CoreTexts", "Нет такого символа Юникода"),
    QT_TRANSLATE_NOOP("CoreTexts", "Ожидается дата ГГГГ-ММ-ДД ЧЧ:ММ:СС"),
    QT_TRANSLATE_NOOP("CoreTexts", "Вне диапазона: от 1901-12-13 20:45:52 до 2038-01-19 03:14:07"),
    // printing
    QT_TRANSLATE_NOOP("CoreTexts", "Нет выбранного по умолчанию принтера"),
    QT_TRANSLATE_NOOP("CoreTexts", "Страница слишком мала для строки дампа"),
};

}  // namespace

QString CoreText(const std::string& text) {
  return QCoreApplication::translate("CoreTexts", text.c_str());
}

}  // namespace bm
