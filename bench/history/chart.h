#pragma once

#include <QString>

// Prints the times of the history chart for a day, a week and a month of one-second samples on
// the database open on the default connection; `qmlFolder` holds the chart component. The first
// frame of each is saved in `imageFolder` (none when empty).
void benchChart(const QString &qmlFolder, const QString &imageFolder);
