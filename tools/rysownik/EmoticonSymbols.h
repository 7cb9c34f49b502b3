#pragma once

#include <QImage>

// The emoticons that are not faces: signs, hearts, plants and creatures.
namespace rysownik::symbols {

QImage wykrzyknik();
QImage pytajnik();
QImage serce();
QImage serduszka();
QImage kwiatek();
QImage alien();
QImage koniczynka();
QImage kot();
QImage stop();
QImage strzalka();

}  // namespace rysownik::symbols
