#include "CsvReader.h"

#include "CsvParser.h"
#include "CsvText.h"
#include "SheetDrafts.h"
#include "FileBytes.h"

DraftSet readCsvBytes(const QByteArray& bytes, const QString& fileName)
{
    return draftsFromSheet(parseCsv(decodeCsvText(bytes)), fileName);
}

DraftSet readCsvFile(const QString& path)
{
    return readCsvBytes(ReadWholeFile(path), path);
}
