#pragma once
// Writes a laid-out Document as a PDF file with libharu. Fonts are the
// TrueType files the layout measured with, embedded, in Windows-1252.

#include "reports/engine/document.h"

#include <QByteArray>
#include <QString>

namespace quillon::reports {

class PdfWriter {
public:
    // The whole document as PDF bytes; throws DbError when libharu fails.
    static QByteArray toPdf(const Document& doc);
    // Writes the PDF to a file; throws DbError naming the file when it cannot.
    static void writeFile(const Document& doc, const QString& path);
};

}  // namespace quillon::reports
