#pragma once

#include <QDateTime>
#include <QImage>
#include <QString>
#include <functional>

class QWidget;

// Saving a picture as a PNG file, for boards that take pictures only as uploaded files.

// "quadrilex-2026-12-06-1432.png" for that moment.
QString picture_file_name(const QDateTime &when);

// Asks where to save the picture (a French file dialog, starting in the pictures folder under a
// dated name) and writes it as PNG. False when the master gave up or the file could not be
// written (the master has been told).
bool save_picture_file(const QImage &picture, QWidget *parent);
