#include "app/draw3d.h"

#include <QLinearGradient>
#include <QPainter>

namespace tts {

Draw3D::Draw3D(QWidget* padre) : QWidget(padre) { setAttribute(Qt::WA_OpaquePaintEvent); }

void Draw3D::poner_degradado(QColor inicio, QColor medio, QColor fin) {
  inicio_ = inicio;
  medio_ = medio;
  fin_ = fin;
  imagen_ = QImage();
  update();
}

void Draw3D::poner_color(QColor color) {
  color_ = color;
  imagen_ = QImage();
  update();
}

const QImage& Draw3D::imagen() {
  if (imagen_.size() != size()) {
    imagen_ = QImage(size(), QImage::Format_RGB32);
    imagen_.fill(color_);
    QPainter pintor(&imagen_);
    const qreal ultima = height() > 1 ? height() - 1 : 1;
    QLinearGradient degradado(0, 0, 0, ultima);
    degradado.setColorAt(0, inicio_);
    degradado.setColorAt(0.5, medio_);
    degradado.setColorAt(1, fin_);
    pintor.fillRect(rect(), degradado);
  }
  return imagen_;
}

void Draw3D::paintEvent(QPaintEvent*) {
  QPainter pintor(this);
  pintor.drawImage(0, 0, imagen());
}

}  // namespace tts
