#pragma once
// A PDF read back by poppler's own tools, as a person's viewer would read it.

#include <QProcess>
#include <QRegularExpression>
#include <QString>
#include <QStringList>
#include <QTest>

// The standard output of a poppler program (pdftotext, pdffonts, pdfinfo, pdfimages) on the file.
inline QString popplerOutput(const QString& program, QStringList arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(60000) || process.exitCode() != 0)
        qWarning() << program << arguments << process.readAllStandardError();
    return QString::fromUtf8(process.readAllStandardOutput());
}

// The text of one page (from 1), or every page when page is 0, in the order it was drawn.
inline QString pdfText(const QString& pdf, int page = 0)
{
    QStringList arguments{QStringLiteral("-raw"), QStringLiteral("-enc"), QStringLiteral("UTF-8")};
    if (page > 0)
        arguments << QStringLiteral("-f") << QString::number(page) << QStringLiteral("-l") << QString::number(page);
    return popplerOutput(QStringLiteral("pdftotext"), arguments << pdf << QStringLiteral("-"));
}

inline int pdfPages(const QString& pdf)
{
    const QRegularExpressionMatch pages =
        QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)")).match(popplerOutput(QStringLiteral("pdfinfo"), {pdf}));
    return pages.hasMatch() ? pages.captured(1).toInt() : -1;
}

// pdffonts' rows: each font's line after the two header lines.
inline QStringList pdfFonts(const QString& pdf)
{
    return popplerOutput(QStringLiteral("pdffonts"), {pdf}).split(u'\n', Qt::SkipEmptyParts).mid(2);
}
