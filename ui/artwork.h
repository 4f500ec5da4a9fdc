#pragma once
// The program's own pictures, drawn from shapes so that they are the same on
// every machine: the main window's logo, the logo window's sample picture
// and the LED window's decoration.
#include <QImage>

QImage drawMainLogo();       // 413 x 38, monochrome
QImage drawSamplePicture();  // 167 x 49
QImage drawLedDecoration();  // 137 x 49
