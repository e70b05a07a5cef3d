#pragma once
// Pictures and descriptions written into a sandbox for the skin tests.
#include <QColor>
#include <QImage>
#include <QList>
#include <QString>

namespace skin_test {

/// Writes a PNG of `columns` x `rows` equal blocks of `block` pixels, block i (row-major)
/// filled with colours[i]. Returns the file name.
QString WriteBlocks(const QString& folder, const QString& name, int columns, int rows,
                    QSize block, const QList<QColor>& colours);
/// Writes a solid PNG.
QString WriteSolid(const QString& folder, const QString& name, QSize size, QColor colour);
/// Writes text to folder/name; returns the full path.
QString WriteText(const QString& folder, const QString& name, const QString& text);
/// The colour at (x, y), alpha ignored.
QRgb At(const QImage& image, int x, int y);

} // namespace skin_test
