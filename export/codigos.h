// Códigos cortos únicos. Una lista de códigos guarda los códigos dados dentro de un ámbito
// (las asignaturas y actividades juntas, los profesores, las aulas, las unidades) y decide
// la pertenencia sin distinguir mayúsculas. AsignarCodigoCorto da a un registro su código:
// el código base mientras esté libre; si no, un prefijo suyo seguido del menor contador
// (1, 2, 3 ...) que dé un código libre.
//
// Todo código va a un campo de anchura W (4 para los códigos cortos, 8 para los largos), y
// la lista guarda y compara la forma almacenada (los primeros W caracteres sin blancos
// finales), para que dos filas nunca lleven el mismo código en la tabla. Un código que
// cabe sale exactamente igual que sin esa anchura.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_set>

#include "comun/texto.h"

namespace tts {

class Informe;

class ListaCodigos {
 public:
  explicit ListaCodigos(std::size_t ancho = 4) : ancho_(ancho) {}

  std::size_t ancho() const { return ancho_; }
  std::string forma_almacenada(std::string_view codigo) const;  // primeros W, sin blancos finales
  bool contiene(std::string_view codigo) const;                // compara formas almacenadas
  void anadir(std::string_view codigo);
  std::size_t cuantos() const { return codigos_.size(); }

 private:
  std::size_t ancho_;
  std::unordered_set<std::string, DispersionSinMayusculas, IgualSinMayusculas> codigos_;
};

// Da el código (ya en su forma almacenada) y lo añade a la lista. Si tuvo que acortar el
// prefijo para que el código cupiera, y hay informe, lo anota. Error si ni el contador solo
// cabe en la anchura.
std::string AsignarCodigoCorto(std::string_view base, ListaCodigos& lista, std::size_t longitud_prefijo,
                               Informe* informe = nullptr);

}  // namespace tts
