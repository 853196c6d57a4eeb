<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US" sourcelanguage="ru_RU">
<context>
    <name>CoreTexts</name>
    <message>
        <source>Смещение</source>
        <translation>Offset</translation>
    </message>
    <message>
        <source>Двоичное</source>
        <translation>Binary</translation>
    </message>
    <message>
        <source>Восьмеричное</source>
        <translation>Octal</translation>
    </message>
    <message>
        <source>Символ</source>
        <translation>Character</translation>
    </message>
    <message>
        <source>Ожидается число</source>
        <translation>A number is expected</translation>
    </message>
    <message>
        <source>Ожидается целое число</source>
        <translation>A whole number is expected</translation>
    </message>
    <message>
        <source>Вне диапазона: от -128 до 127</source>
        <translation>Out of range: -128 to 127</translation>
    </message>
    <message>
        <source>Вне диапазона: от 0 до 255</source>
        <translation>Out of range: 0 to 255</translation>
    </message>
    <message>
        <source>Вне диапазона: от -32768 до 32767</source>
        <translation>Out of range: -32768 to 32767</translation>
    </message>
    <message>
        <source>Вне диапазона: от 0 до 65535</source>
        <translation>Out of range: 0 to 65535</translation>
    </message>
    <message>
        <source>Вне диапазона: от -2147483648 до 2147483647</source>
        <translation>Out of range: -2147483648 to 2147483647</translation>
    </message>
    <message>
        <source>Вне диапазона: от 0 до 4294967295</source>
        <translation>Out of range: 0 to 4294967295</translation>
    </message>
    <message>
        <source>Вне диапазона: от -9223372036854775808 до 9223372036854775807</source>
        <translation>Out of range: -9223372036854775808 to 9223372036854775807</translation>
    </message>
    <message>
        <source>Вне диапазона: от 0 до 18446744073709551615</source>
        <translation>Out of range: 0 to 18446744073709551615</translation>
    </message>
    <message>
        <source>Вне данных</source>
        <translation>Outside the data</translation>
    </message>
    <message>
        <source>Ожидается от 1 до 8 двоичных цифр</source>
        <translation>1 to 8 binary digits are expected</translation>
    </message>
    <message>
        <source>Ожидается восьмеричное число от 0 до 377</source>
        <translation>An octal number from 0 to 377 is expected</translation>
    </message>
    <message>
        <source>Вне диапазона: от 0 до 377</source>
        <translation>Out of range: 0 to 377</translation>
    </message>
    <message>
        <source>Вне диапазона float32: до ±3.4028235e+38</source>
        <translation>Out of float32 range: up to ±3.4028235e+38</translation>
    </message>
    <message>
        <source>Вне диапазона float64: до ±1.7976931348623157e+308</source>
        <translation>Out of float64 range: up to ±1.7976931348623157e+308</translation>
    </message>
    <message>
        <source>Ожидается один символ</source>
        <translation>One character is expected</translation>
    </message>
    <message>
        <source>Символа нет в этой кодировке</source>
        <translation>The character is not in this character set</translation>
    </message>
    <message>
        <source>Ожидается один символ или U+XXXX</source>
        <translation>One character or U+XXXX is expected</translation>
    </message>
    <message>
        <source>Нет такого символа Юникода</source>
        <translation>No such Unicode character</translation>
    </message>
    <message>
        <source>Ожидается дата ГГГГ-ММ-ДД ЧЧ:ММ:СС</source>
        <translation>A date YYYY-MM-DD HH:MM:SS is expected</translation>
    </message>
    <message>
        <source>Вне диапазона: от 1901-12-13 20:45:52 до 2038-01-19 03:14:07</source>
        <translation>Out of range: 1901-12-13 20:45:52 to 2038-01-19 03:14:07</translation>
    </message>
    <message>
        <source>Нет выбранного по умолчанию принтера</source>
        <translation>No default printer is selected</translation>
    </message>
    <message>
        <source>Страница слишком мала для строки дампа</source>
        <translation>The page is too small for a line of the dump</translation>
    </message>
</context>
<context>
    <name>bm::ChecksumForm</name>
    <message>
        <source>Контрольные суммы</source>
        <translation>Checksums</translation>
    </message>
    <message>
        <source>Стоп</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>Закрыть</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>
Ошибка чтения: %1</source>
        <translation>
Read error: %1</translation>
    </message>
</context>
<context>
    <name>bm::CompareView</name>
    <message>
        <source>Файл не найден.</source>
        <translation>File not found.</translation>
    </message>
    <message>
        <source>Это не обычный файл.</source>
        <translation>This is not a regular file.</translation>
    </message>
    <message>
        <source>Файл не читается.</source>
        <translation>The file cannot be read.</translation>
    </message>
    <message>
        <source>Различий: %1 байт в %2 участках</source>
        <translation>Differences: %1 bytes in %2 runs</translation>
    </message>
    <message>
        <source>Подсчёт различий…</source>
        <translation>Counting differences…</translation>
    </message>
</context>
<context>
    <name>bm::FillForm</name>
    <message>
        <source>Заполнить</source>
        <translation>Fill</translation>
    </message>
    <message>
        <source>Выделено байт: %1</source>
        <translation>Bytes selected: %1</translation>
    </message>
    <message>
        <source>Повторять шаблон (hex):</source>
        <translation>Repeat a pattern (hex):</translation>
    </message>
    <message>
        <source>Случайные байты</source>
        <translation>Random bytes</translation>
    </message>
    <message>
        <source>Отмена</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>Не шестнадцатеричный текст: «%1» в позиции %2.</source>
        <translation>Not hexadecimal text: “%1” at position %2.</translation>
    </message>
    <message>
        <source>Введите шаблон: шестнадцатеричные байты, например DE AD BE EF.</source>
        <translation>Enter a pattern: hexadecimal bytes, for example DE AD BE EF.</translation>
    </message>
</context>
<context>
    <name>bm::QtDialogs</name>
    <message>
        <source>&amp;Да</source>
        <translation>&amp;Yes</translation>
    </message>
    <message>
        <source>&amp;Нет</source>
        <translation>&amp;No</translation>
    </message>
    <message>
        <source>Отмена</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>Только чтение</source>
        <translation>Read only</translation>
    </message>
    <message>
        <source>Свойства принтера</source>
        <translation>Printer properties</translation>
    </message>
</context>
<context>
    <name>bm::RecoveryOffer</name>
    <message>
        <source>Найден рабочий файл без сведений о документе. Открыть как новый документ?</source>
        <translation>A working file without information about its document was found. Open it as a new document?</translation>
    </message>
    <message>
        <source>Найдены несохранённые изменения файла %1. Восстановить?</source>
        <translation>Unsaved changes to the file %1 were found. Recover them?</translation>
    </message>
    <message>
        <source>Найдены несохранённые изменения файла %1, но после сбоя файл изменён или удалён, поэтому восстановить их точно нельзя. Рабочие файлы оставлены в папке %2.</source>
        <translation>Unsaved changes to the file %1 were found, but the file was changed or removed after the crash, so they cannot be restored exactly. The working files are left in the folder %2.</translation>
    </message>
</context>
<context>
    <name>bm::TAboutForm</name>
    <message>
        <source>Шестнадцатеричный редактор файлов Bytemoor</source>
        <translation>Bytemoor hex file editor</translation>
    </message>
    <message>
        <source>Распространяется без гарантий</source>
        <translation>Distributed without warranty</translation>
    </message>
    <message>
        <source>Замечания: команда Bytemoor</source>
        <translation>Feedback: the Bytemoor team</translation>
    </message>
</context>
<context>
    <name>bm::TFindForm</name>
    <message>
        <source>Редактор данных для поиска</source>
        <translation>Search data editor</translation>
    </message>
    <message>
        <source>Ввод</source>
        <translation>Enter</translation>
    </message>
    <message>
        <source>Отмена</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>Выбор объекта поиска</source>
        <translation>Search for</translation>
    </message>
    <message>
        <source>Строка</source>
        <translation>Text</translation>
    </message>
    <message>
        <source>Код</source>
        <translation>Code</translation>
    </message>
    <message>
        <source>Прописные и строчные</source>
        <translation>Upper and lower case</translation>
    </message>
    <message>
        <source>Прописные и строчные буквы различать</source>
        <translation>Match upper and lower case</translation>
    </message>
    <message>
        <source>Найти все</source>
        <translation>Find all</translation>
    </message>
    <message>
        <source>Найдено: %1</source>
        <translation>Found: %1</translation>
    </message>
</context>
<context>
    <name>bm::THexCalc</name>
    <message>
        <source>Калькулятор Hex, Oct, Bin, Dec форматов</source>
        <translation>Hex, Oct, Bin, Dec calculator</translation>
    </message>
    <message>
        <source>Формат представления числа</source>
        <translation>Number format</translation>
    </message>
    <message>
        <source>Закрыть</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>Сброс</source>
        <translation>Reset</translation>
    </message>
    <message>
        <source>Результат в окно обмена</source>
        <translation>Result to clipboard</translation>
    </message>
    <message>
        <source>Вставить из окна обмена</source>
        <translation>Paste from clipboard</translation>
    </message>
    <message>
        <source>На ноль делить нельзя !!!</source>
        <translation>Division by zero is not allowed!</translation>
    </message>
</context>
<context>
    <name>bm::TMainForm</name>
    <message>
        <source>Смещение Dec: %1 Hex: %2</source>
        <translation>Offset Dec: %1 Hex: %2</translation>
    </message>
    <message>
        <source>Выделено : %1 - %2</source>
        <translation>Selected: %1 - %2</translation>
    </message>
    <message>
        <source>Ч</source>
        <translation>R</translation>
    </message>
    <message>
        <source>Файл открыт только для чтения: сохраняется только под другим именем</source>
        <translation>The file is open read-only: it can only be saved under another name</translation>
    </message>
    <message>
        <source>Размер файла : %1</source>
        <translation>File size: %1</translation>
    </message>
    <message>
        <source>Редактируемый файл - [%1]</source>
        <translation>Edited file - [%1]</translation>
    </message>
    <message>
        <source>&amp;Файлы</source>
        <translation>&amp;File</translation>
    </message>
    <message>
        <source>&amp;Новый</source>
        <translation>&amp;New</translation>
    </message>
    <message>
        <source>&amp;Открыть</source>
        <translation>&amp;Open</translation>
    </message>
    <message>
        <source>&amp;Сохранить</source>
        <translation>&amp;Save</translation>
    </message>
    <message>
        <source>Записать &amp;как</source>
        <translation>Save &amp;as</translation>
    </message>
    <message>
        <source>Сравнить с файлом...</source>
        <translation>Compare with file...</translation>
    </message>
    <message>
        <source>Выбор &amp;шрифта принтера</source>
        <translation>Printer &amp;font</translation>
    </message>
    <message>
        <source>С&amp;войства принтера</source>
        <translation>Printer p&amp;roperties</translation>
    </message>
    <message>
        <source>&amp;Печать</source>
        <translation>&amp;Print</translation>
    </message>
    <message>
        <source>П&amp;росмотр страницы</source>
        <translation>Page pre&amp;view</translation>
    </message>
    <message>
        <source>Последние файлы</source>
        <translation>Recent files</translation>
    </message>
    <message>
        <source>&amp;Выход</source>
        <translation>E&amp;xit</translation>
    </message>
    <message>
        <source>&amp;Редактирование</source>
        <translation>&amp;Edit</translation>
    </message>
    <message>
        <source>&amp;Отмена </source>
        <translation>&amp;Undo</translation>
    </message>
    <message>
        <source>&amp;Повторить</source>
        <translation>&amp;Redo</translation>
    </message>
    <message>
        <source>&amp;Вырезать</source>
        <translation>Cu&amp;t</translation>
    </message>
    <message>
        <source>&amp;Копировать</source>
        <translation>&amp;Copy</translation>
    </message>
    <message>
        <source>В&amp;ставить</source>
        <translation>&amp;Paste</translation>
    </message>
    <message>
        <source>Выд&amp;елить всё</source>
        <translation>Select &amp;all</translation>
    </message>
    <message>
        <source>&amp;Перейти по адресу...</source>
        <translation>&amp;Go to offset...</translation>
    </message>
    <message>
        <source>С&amp;местить</source>
        <translation>&amp;Step</translation>
    </message>
    <message>
        <source> &amp;На байт: 100</source>
        <translation> &amp;By bytes: 100</translation>
    </message>
    <message>
        <source>Шаг &amp;вперед</source>
        <translation>Step &amp;forward</translation>
    </message>
    <message>
        <source>Шаг на&amp;зад</source>
        <translation>Step &amp;back</translation>
    </message>
    <message>
        <source>&amp;Найти</source>
        <translation>&amp;Find</translation>
    </message>
    <message>
        <source>Н&amp;айти еще раз</source>
        <translation>Find &amp;again</translation>
    </message>
    <message>
        <source>Найти &amp;предыдущее</source>
        <translation>Find pre&amp;vious</translation>
    </message>
    <message>
        <source>&amp;Заменить...</source>
        <translation>&amp;Replace...</translation>
    </message>
    <message>
        <source>Следующее различие</source>
        <translation>Next difference</translation>
    </message>
    <message>
        <source>Предыдущее различие</source>
        <translation>Previous difference</translation>
    </message>
    <message>
        <source>Ка&amp;лькулятор</source>
        <translation>Ca&amp;lculator</translation>
    </message>
    <message>
        <source>&amp;Параметры просмотра</source>
        <translation>&amp;View</translation>
    </message>
    <message>
        <source>Размер строки</source>
        <translation>Line size</translation>
    </message>
    <message>
        <source>16 Байт</source>
        <translation>16 bytes</translation>
    </message>
    <message>
        <source>32 Байта</source>
        <translation>32 bytes</translation>
    </message>
    <message>
        <source>64 Байта</source>
        <translation>64 bytes</translation>
    </message>
    <message>
        <source>Группировать</source>
        <translation>Group</translation>
    </message>
    <message>
        <source>Байты</source>
        <translation>Bytes</translation>
    </message>
    <message>
        <source>Слово</source>
        <translation>Word</translation>
    </message>
    <message>
        <source>Двойное слово</source>
        <translation>Double word</translation>
    </message>
    <message>
        <source>Форма курсора</source>
        <translation>Caret style</translation>
    </message>
    <message>
        <source>На весь символ</source>
        <translation>Full block</translation>
    </message>
    <message>
        <source>Линия слева</source>
        <translation>Line on the left</translation>
    </message>
    <message>
        <source>Линия под символом</source>
        <translation>Line below</translation>
    </message>
    <message>
        <source>Смещение в окне</source>
        <translation>Offsets</translation>
    </message>
    <message>
        <source>В hex - виде</source>
        <translation>Hexadecimal</translation>
    </message>
    <message>
        <source>В dec - виде</source>
        <translation>Decimal</translation>
    </message>
    <message>
        <source>В oct - виде</source>
        <translation>Octal</translation>
    </message>
    <message>
        <source>Не показывать</source>
        <translation>Hidden</translation>
    </message>
    <message>
        <source>&amp;Кодировка символов</source>
        <translation>&amp;Character set</translation>
    </message>
    <message>
        <source>Win-Симв&amp;олы</source>
        <translation>Win ch&amp;aracters</translation>
    </message>
    <message>
        <source>OEM - &amp;Символы</source>
        <translation>OEM &amp;characters</translation>
    </message>
    <message>
        <source>ASCII-С&amp;имволы</source>
        <translation>ASCII c&amp;haracters</translation>
    </message>
    <message>
        <source>EBCDIC-Сим&amp;волы</source>
        <translation>EBCDIC cha&amp;racters</translation>
    </message>
    <message>
        <source>Mac-Си&amp;мволы</source>
        <translation>Mac char&amp;acters</translation>
    </message>
    <message>
        <source>С&amp;етка</source>
        <translation>&amp;Grid</translation>
    </message>
    <message>
        <source>&amp;Отступ в пробел</source>
        <translation>&amp;Space between groups</translation>
    </message>
    <message>
        <source>Инспектор значений</source>
        <translation>Value inspector</translation>
    </message>
    <message>
        <source>Линейка столбцов</source>
        <translation>Column ruler</translation>
    </message>
    <message>
        <source>Клавиши как в большинстве программ</source>
        <translation>Keys as in most programs</translation>
    </message>
    <message>
        <source>Разрешить режим вставки</source>
        <translation>Allow insert mode</translation>
    </message>
    <message>
        <source>&amp;Информация</source>
        <translation>&amp;Help</translation>
    </message>
    <message>
        <source>Открыть</source>
        <translation>Open</translation>
    </message>
    <message>
        <source>Сохранить</source>
        <translation>Save</translation>
    </message>
    <message>
        <source>Печать</source>
        <translation>Print</translation>
    </message>
    <message>
        <source>Найти</source>
        <translation>Find</translation>
    </message>
    <message>
        <source>Найти еще раз</source>
        <translation>Find again</translation>
    </message>
    <message>
        <source>Отмена</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>Шаг назад</source>
        <translation>Step back</translation>
    </message>
    <message>
        <source>Шаг в перед</source>
        <translation>Step forward</translation>
    </message>
    <message>
        <source>Шаг на, байт : 0x%1 (%2)</source>
        <translation>Step by, bytes: 0x%1 (%2)</translation>
    </message>
    <message>
        <source>Шестнадцатеричный текст</source>
        <translation>Hexadecimal text</translation>
    </message>
    <message>
        <source>Шестнадцатеричный текст без пробелов</source>
        <translation>Hexadecimal text without spaces</translation>
    </message>
    <message>
        <source>Массив C</source>
        <translation>C array</translation>
    </message>
    <message>
        <source>Байты Python</source>
        <translation>Python bytes</translation>
    </message>
    <message>
        <source>Символы</source>
        <translation>Characters</translation>
    </message>
    <message>
        <source>Сохранить выделение как...</source>
        <translation>Save selection as...</translation>
    </message>
    <message>
        <source>Вставить файл...</source>
        <translation>Insert file...</translation>
    </message>
    <message>
        <source>Копировать как</source>
        <translation>Copy as</translation>
    </message>
    <message>
        <source>Вставить из шестнадцатеричного текста</source>
        <translation>Paste from hexadecimal text</translation>
    </message>
    <message>
        <source>Заполнить...</source>
        <translation>Fill...</translation>
    </message>
    <message>
        <source>Контрольные суммы...</source>
        <translation>Checksums...</translation>
    </message>
    <message>
        <source>пусто</source>
        <translation>empty</translation>
    </message>
    <message>
        <source>Выделено : %1 (%2 байт)</source>
        <translation>Selection: %1 (%2 bytes)</translation>
    </message>
    <message>
        <source>Весь документ : %1 (%2 байт)</source>
        <translation>Whole document: %1 (%2 bytes)</translation>
    </message>
    <message>
        <source>Файл <byte value="xd"/>
%1<byte value="xd"/>
не открыт: вместо него восстановлен несохранённый документ. Откройте его, когда закончите с восстановленным.</source>
        <translation>The file <byte value="xd"/>
%1<byte value="xd"/>
was not opened: an unsaved document was recovered instead. Open it when you are done with the recovered one.</translation>
    </message>
    <message>
        <source>Предупреждение</source>
        <translation>Warning</translation>
    </message>
    <message>
        <source>Сравнить с</source>
        <translation>Compare with</translation>
    </message>
    <message>
        <source>Различий больше нет.</source>
        <translation>There are no more differences.</translation>
    </message>
    <message>
        <source>Перейти по адресу...</source>
        <translation>Go to offset...</translation>
    </message>
    <message>
        <source>Редактор смещения на шаг</source>
        <translation>Step amount</translation>
    </message>
    <message>
        <source>Новое смещение шага, байт ($ - HEX):</source>
        <translation>New step amount, bytes ($ - HEX):</translation>
    </message>
    <message>
        <source>Файл изменён другой программой. Сохранить поверх?</source>
        <translation>The file was changed by another program. Save over it?</translation>
    </message>
    <message>
        <source>нет права записи в папку</source>
        <translation>no permission to write to the folder</translation>
    </message>
    <message>
        <source>это имя занято файлом другого пользователя</source>
        <translation>the name is taken by a file of another user</translation>
    </message>
    <message>
        <source>под этим именем находится папка</source>
        <translation>a folder has this name</translation>
    </message>
    <message>
        <source>неизвестная ошибка</source>
        <translation>unknown error</translation>
    </message>
    <message>
        <source>Не удалось создать резервную копию %1: %2. Сохранить без неё?</source>
        <translation>Could not create the backup %1: %2. Save without it?</translation>
    </message>
    <message>
        <source>Файл <byte value="xd"/>
%1 был изменен, сохранить?</source>
        <translation>The file <byte value="xd"/>
%1 was changed. Save it?</translation>
    </message>
    <message>
        <source>Не удалось создать файл сведений для восстановления: восстановление после сбоя для этого документа отключено.</source>
        <translation>Could not create the recovery information file: crash recovery is off for this document.</translation>
    </message>
    <message>
        <source>Папка %1 не принадлежит только вам, поэтому рабочие файлы хранятся в %2.</source>
        <translation>The folder %1 does not belong to you alone, so the working files are kept in %2.</translation>
    </message>
    <message>
        <source>Вставка</source>
        <translation>Insert</translation>
    </message>
    <message>
        <source>Замена</source>
        <translation>Overwrite</translation>
    </message>
    <message>
        <source>Печать...</source>
        <translation>Printing...</translation>
    </message>
    <message>
        <source>Печать: страница %1 из %2</source>
        <translation>Printing: page %1 of %2</translation>
    </message>
    <message>
        <source>Замена...</source>
        <translation>Replacing...</translation>
    </message>
    <message>
        <source>Стоп</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>Заменить все</source>
        <translation>Replace all</translation>
    </message>
    <message>
        <source>Замена остановлена</source>
        <translation>Replacing stopped</translation>
    </message>
    <message>
        <source>Заменено: %1</source>
        <translation>Replaced: %1</translation>
    </message>
    <message>
        <source>Найдено: %1</source>
        <translation>Found: %1</translation>
    </message>
    <message>
        <source>это папка</source>
        <translation>it is a folder</translation>
    </message>
    <message>
        <source>это не обычный файл</source>
        <translation>it is not a regular file</translation>
    </message>
    <message>
        <source>Текст займёт %1 МиБ. Копировать?</source>
        <translation>The text will take %1 MiB. Copy it?</translation>
    </message>
    <message>
        <source>Не шестнадцатеричный текст: «%1» в позиции %2.</source>
        <translation>Not hexadecimal text: “%1” at position %2.</translation>
    </message>
    <message>
        <source>Сохранить выделение как</source>
        <translation>Save selection as</translation>
    </message>
    <message>
        <source>Вставить файл</source>
        <translation>Insert file</translation>
    </message>
    <message>
        <source>Не удалось вставить файл<byte value="xd"/>
%1</source>
        <translation>Could not insert the file<byte value="xd"/>
%1</translation>
    </message>
    <message>
        <source>файл изменился во время чтения</source>
        <translation>the file changed while it was read</translation>
    </message>
    <message>
        <source>Файл %1 изменён другой программой. Несохранённые изменения сделаны поверх прежнего содержимого.</source>
        <translation>The file %1 was changed by another program. Your unsaved changes were made over its previous content.</translation>
    </message>
    <message>
        <source>Перезагрузить</source>
        <translation>Reload</translation>
    </message>
    <message>
        <source>Продолжить работу</source>
        <translation>Keep working</translation>
    </message>
    <message>
        <source>Несохранённые изменения будут потеряны. Перезагрузить файл?</source>
        <translation>Unsaved changes will be lost. Reload the file?</translation>
    </message>
</context>
<context>
    <name>bm::TNumberEdit</name>
    <message>
        <source>Вы&amp;резать</source>
        <translation>Cu&amp;t</translation>
    </message>
    <message>
        <source>&amp;Копировать</source>
        <translation>&amp;Copy</translation>
    </message>
    <message>
        <source>Вст&amp;авить</source>
        <translation>&amp;Paste</translation>
    </message>
    <message>
        <source>&amp;Удалить</source>
        <translation>&amp;Delete</translation>
    </message>
    <message>
        <source>Выделить &amp;все</source>
        <translation>Select &amp;all</translation>
    </message>
</context>
<context>
    <name>bm::TReplaceForm</name>
    <message>
        <source>Строка</source>
        <translation>Text</translation>
    </message>
    <message>
        <source>Код</source>
        <translation>Code</translation>
    </message>
    <message>
        <source>Замена данных</source>
        <translation>Replace data</translation>
    </message>
    <message>
        <source>&amp;Найти:</source>
        <translation>&amp;Find:</translation>
    </message>
    <message>
        <source>Искать</source>
        <translation>Find</translation>
    </message>
    <message>
        <source>Прописные и строчные буквы различать</source>
        <translation>Match upper and lower case</translation>
    </message>
    <message>
        <source>&amp;Заменить на:</source>
        <translation>&amp;Replace with:</translation>
    </message>
    <message>
        <source>Вставить</source>
        <translation>Insert</translation>
    </message>
    <message>
        <source>Найти далее</source>
        <translation>Find next</translation>
    </message>
    <message>
        <source>Заменить</source>
        <translation>Replace</translation>
    </message>
    <message>
        <source>Заменить все</source>
        <translation>Replace all</translation>
    </message>
    <message>
        <source>Найти все</source>
        <translation>Find all</translation>
    </message>
    <message>
        <source>Закрыть</source>
        <translation>Close</translation>
    </message>
</context>
<context>
    <name>bm::TfmPreview</name>
    <message>
        <source>Просмотр страницы</source>
        <translation>Page preview</translation>
    </message>
</context>
<context>
    <name>bm::ValueInspector</name>
    <message>
        <source>Инспектор значений</source>
        <translation>Value inspector</translation>
    </message>
    <message>
        <source>Младший байт первым (LE)</source>
        <translation>Little endian (LE)</translation>
    </message>
    <message>
        <source>Старший байт первым (BE)</source>
        <translation>Big endian (BE)</translation>
    </message>
    <message>
        <source>Нет данных</source>
        <translation>No data</translation>
    </message>
    <message>
        <source>За концом данных</source>
        <translation>Past the end of the data</translation>
    </message>
    <message>
        <source>Документ открыт только для чтения</source>
        <translation>The document is open read-only</translation>
    </message>
    <message>
        <source>Вне данных: от 0 до %1</source>
        <translation>Outside the data: 0 to %1</translation>
    </message>
    <message>
        <source>Изменение не принято</source>
        <translation>The change was not accepted</translation>
    </message>
</context>
</TS>
