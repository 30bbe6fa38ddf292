#include "core/tournament/csv.h"

#include <QStringDecoder>
#include <algorithm>
#include <array>

namespace {

constexpr QByteArrayView utf8Bom("\xef\xbb\xbf");

// Windows-1252 from 0x80 to 0x9f. The five bytes it leaves undefined keep their C1 code point, as browsers
// read them, so that every byte is written back as it was read.
constexpr std::array<char16_t, 32> windows1252High = { 0x20ac, 0x0081, 0x201a, 0x0192, 0x201e, 0x2026, 0x2020,
    0x2021, 0x02c6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008d, 0x017d, 0x008f, 0x0090, 0x2018, 0x2019, 0x201c,
    0x201d, 0x2022, 0x2013, 0x2014, 0x02dc, 0x2122, 0x0161, 0x203a, 0x0153, 0x009d, 0x017e, 0x0178 };

QString fromWindows1252(QByteArrayView bytes)
{
    QString text(bytes.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto byte = uchar(bytes[i]);
        text[i] = byte >= 0x80 && byte < 0xa0 ? QChar(windows1252High[byte - 0x80]) : QChar(char16_t(byte));
    }
    return text;
}

char toWindows1252(char16_t c)
{
    if (c < 0x80 || (c >= 0xa0 && c <= 0xff))
        return char(c);
    const auto *found = std::find(windows1252High.begin(), windows1252High.end(), c);
    return found == windows1252High.end() ? '?' : char(0x80 + (found - windows1252High.begin()));
}

bool needsQuotes(const QString &cell, QChar delimiter)
{
    return std::any_of(cell.begin(), cell.end(),
        [delimiter](QChar c) { return c == delimiter || c == u'"' || c == u'\r' || c == u'\n'; });
}

// Spreadsheets write an empty row as its delimiters alone.
bool isBlank(const QStringList &cells)
{
    return std::all_of(cells.cbegin(), cells.cend(), [](const QString &cell) { return cell.isEmpty(); });
}

} // namespace

QString Csv::decode(const QByteArray &bytes, TextEncoding *found)
{
    const bool bom = bytes.startsWith(utf8Bom);
    const QByteArrayView rest = QByteArrayView(bytes).sliced(bom ? utf8Bom.size() : 0);
    QStringDecoder utf8(
        QStringDecoder::Utf8, QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    QString text = utf8(rest);
    TextEncoding encoding = bom ? TextEncoding::Utf8WithBom : TextEncoding::Utf8;
    if (utf8.hasError()) {
        // A BOM before bytes that are no UTF-8 is dropped all the same: read as text it would spoil the
        // first column's name.
        text = fromWindows1252(rest);
        encoding = TextEncoding::Windows1252;
    }
    if (found)
        *found = encoding;
    return text;
}

QByteArray Csv::encode(const QString &text, TextEncoding encoding)
{
    if (encoding == TextEncoding::Utf8)
        return text.toUtf8();
    if (encoding == TextEncoding::Utf8WithBom)
        return utf8Bom.toByteArray() + text.toUtf8();
    QByteArray bytes;
    bytes.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        // A character beyond the first plane is one '?', not one for each half of its pair.
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            ++i;
        bytes += toWindows1252(text[i].unicode());
    }
    return bytes;
}

QChar Csv::detectDelimiter(QStringView text)
{
    int semicolons = 0, commas = 0, tabs = 0;
    bool quoted = false, content = false;
    for (const QChar c : text) {
        if (c == u'"')
            quoted = !quoted;
        if (quoted || c == u'"') {
            content = true;
        } else if (c == u'\n') {
            // Lines of delimiters alone are empty rows of a spreadsheet, not its header.
            if (content)
                break;
            semicolons = commas = tabs = 0;
        } else if (c == u';') {
            ++semicolons;
        } else if (c == u',') {
            ++commas;
        } else if (c == u'\t') {
            ++tabs;
        } else if (c != u'\r') {
            content = true;
        }
    }
    if (commas > semicolons && commas > tabs)
        return u',';
    if (tabs > semicolons && tabs > commas)
        return u'\t';
    return u';';
}

QList<CsvRecord> Csv::read(QStringView text, QChar delimiter, int *openQuoteLine)
{
    QList<CsvRecord> records;
    CsvRecord record { 1, {} };
    QString cell;
    int line = 1, quoteLine = 0;
    bool quoted = false, cellStarted = false;
    const auto endCell = [&] {
        record.cells.append(cell);
        cell.clear();
        cellStarted = false;
    };
    const auto endRecord = [&] {
        endCell();
        if (!isBlank(record.cells))
            records.append(record);
        record.cells.clear();
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        const bool crlf = text.sliced(i).startsWith(u"\r\n");
        if (quoted) {
            if (c != u'"') {
                cell += c;
                if (c == u'\n')
                    ++line;
            } else if (text.sliced(i + 1).startsWith(u'"')) {
                cell += c;
                ++i;
            } else {
                quoted = false;
            }
        } else if (c == u'"' && !cellStarted) {
            quoted = cellStarted = true;
            quoteLine = line;
        } else if (c == delimiter) {
            endCell();
        } else if (c == u'\n' || crlf) {
            if (crlf)
                ++i;
            endRecord();
            record.line = ++line;
        } else {
            // Text after a closing quote, and a quote inside an unquoted cell, are kept as written.
            cell += c;
            cellStarted = true;
        }
    }
    endRecord();
    if (openQuoteLine)
        *openQuoteLine = quoted ? quoteLine : 0;
    return records;
}

QString Csv::line(const QStringList &cells, QChar delimiter)
{
    QString text;
    for (qsizetype i = 0; i < cells.size(); ++i) {
        if (i > 0)
            text += delimiter;
        if (needsQuotes(cells[i], delimiter))
            text += u'"' + QString(cells[i]).replace(u'"', u"\"\""_qs) + u'"';
        else
            text += cells[i];
    }
    return text + u"\r\n"_qs;
}
