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
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

#include "comun/texto.h"

namespace tts {

class Informe;

class ListaCodigos {
 public:
  // ambito nombra en el informe y en los errores dónde se escriben los códigos
  // ("Tabla PROFT, campo ABREV").
  explicit ListaCodigos(std::size_t ancho = 4, std::string ambito = "")
      : ancho_(ancho), ambito_(std::move(ambito)) {}

  std::size_t ancho() const { return ancho_; }
  const std::string& ambito() const { return ambito_; }
  std::string forma_almacenada(std::string_view codigo) const;  // primeros W, sin blancos finales
  bool contiene(std::string_view codigo) const;                // compara formas almacenadas
  void anadir(std::string_view codigo);
  std::size_t cuantos() const { return codigos_.size(); }

  // Códigos que hubo que acortar para que cupieran en la anchura, y los primeros de ellos
  // (base y código dado).
  std::size_t acortados() const { return acortados_; }
  const std::vector<std::pair<std::string, std::string>>& primeros_acortados() const { return primeros_acortados_; }

 private:
  friend std::string AsignarCodigoCorto(std::string_view, ListaCodigos&, std::size_t, Informe*);
  std::size_t ancho_;
  std::string ambito_;
  std::unordered_set<std::string, DispersionSinMayusculas, IgualSinMayusculas> codigos_;
  // Para cada prefijo (sin mayúsculas), el contador desde el que seguir buscando: los
  // candidatos de contadores menores ya están en la lista, que nunca pierde códigos.
  std::unordered_map<std::string, std::size_t, DispersionSinMayusculas, IgualSinMayusculas> siguiente_;
  std::size_t acortados_ = 0;
  std::vector<std::pair<std::string, std::string>> primeros_acortados_;
};

// Da el código (ya en su forma almacenada) y lo añade a la lista. Si tuvo que acortar el
// código base o el prefijo para que el código cupiera, la lista lo cuenta y, si hay
// informe, lo anota (los cinco primeros de cada lista). Error si ni el contador solo cabe en
// la anchura.
std::string AsignarCodigoCorto(std::string_view base, ListaCodigos& lista, std::size_t longitud_prefijo,
                               Informe* informe = nullptr);

// Una nota con los códigos acortados de la lista (cuántos y los primeros), o nada si no
// hubo ninguno. Para quien asigna sin informe y anota al final.
void anotar_acortados(const ListaCodigos& lista, Informe& informe);

}  // namespace tts
