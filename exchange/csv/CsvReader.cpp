#include "CsvReader.h"

#include "exchange/FileBytes.h"
#include "exchange/csv/CsvParser.h"
#include "exchange/csv/CsvText.h"
#include "exchange/sheet/SheetDrafts.h"

DraftSet readCsvBytes(const QByteArray& bytes, const QString& fileName)
{
    return draftsFromSheet(parseCsv(decodeCsvText(bytes)), fileName);
}

DraftSet readCsvFile(const QString& path)
{
    return readCsvBytes(ReadWholeFile(path), path);
}
