#pragma once

#include <QImage>
#include <QString>

namespace torvane::art {

// A part of the program's name in blue bevelled serif capitals with a dark
// drop shadow, on a near-black ground. The letters keep to the top
// `letterRows` rows, where the picture placed below it does not cover them.
QImage drawTitle(const QString& family, const QString& text, QSize size, int letterRows);

// A line of unsmoothed teal text on black, in exactly those two colours.
QImage drawCredit(const QString& family, const QString& text, QSize size);

}  // namespace torvane::art
