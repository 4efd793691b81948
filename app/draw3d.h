// Draw3D: el panel de degradado de la ventana. Pinta de arriba abajo un degradado vertical
// de tres colores (inicio, medio y fin) a través de una imagen fuera de pantalla, que se
// rehace sólo cuando cambian el tamaño o los colores. Debajo queda el color del panel.
#pragma once

#include <QColor>
#include <QImage>
#include <QWidget>

namespace tts {

class Draw3D : public QWidget {
  Q_OBJECT

 public:
  explicit Draw3D(QWidget* padre = nullptr);

  void poner_degradado(QColor inicio, QColor medio, QColor fin);
  void poner_color(QColor color);  // el color del panel

  QColor inicio() const { return inicio_; }
  QColor medio() const { return medio_; }
  QColor fin() const { return fin_; }
  QColor color() const { return color_; }

  // La imagen fuera de pantalla del tamaño actual, sin los controles que contiene.
  const QImage& imagen();

 protected:
  void paintEvent(QPaintEvent* evento) override;

 private:
  QColor inicio_ = Qt::white, medio_ = Qt::white, fin_ = Qt::white;
  QColor color_ = Qt::white;
  QImage imagen_;
};

}  // namespace tts
