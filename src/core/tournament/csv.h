#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

/// How a text file is encoded, as found when reading it and kept when writing a file beside it.
enum class TextEncoding { Utf8, Utf8WithBom, Windows1252 };

/// One record of a CSV file and the line it starts on (1-based).
struct CsvRecord
{
    int line = 0;
    QStringList cells;
};

/// CSV as spreadsheets write it (RFC 4180): fields quoted with '"', delimiters, doubled quotes and line
/// breaks inside quotes, CRLF or LF.
namespace Csv {

/// @p bytes as text: UTF-8 (a BOM is dropped), or Windows-1252 when they are not valid UTF-8. A BOM is
/// dropped also then; the five bytes Windows-1252 leaves undefined (0x81, 0x8d, 0x8f, 0x90, 0x9d) become
/// their C1 control characters, so that encode() gives back every byte. @p found may be null.
QString decode(const QByteArray &bytes, TextEncoding *found);
/// @p text in @p encoding; characters Windows-1252 cannot hold become '?'.
QByteArray encode(const QString &text, TextEncoding encoding);

/// The delimiter of the file @p text: ';', ',' or tab, whichever occurs most outside quotes on its header
/// line, the first line holding more than delimiters (';' on a tie or none).
QChar detectDelimiter(QStringView text);

/// The records of @p text; empty lines are skipped. A quote left open at the end sets @p openQuoteLine
/// to the line the field began on (0 otherwise) and ends the last record there.
QList<CsvRecord> read(QStringView text, QChar delimiter, int *openQuoteLine = nullptr);

/// One record as a line ending in CRLF, each cell quoted where it holds the delimiter, a quote or a
/// line break.
QString line(const QStringList &cells, QChar delimiter);

} // namespace Csv
