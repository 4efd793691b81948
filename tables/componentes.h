// Los ocho componentes de tabla persistentes: objetos con nombre, ligados a una tabla de la
// carpeta de trabajo, que se abren en exclusiva y se cierran al acabar quien los usa. Su
// nombre aparece en sus mensajes de error ("wwTableSoluc: No se encuentra el campo 'DIA'").
#pragma once

#include <array>
#include <filesystem>
#include <optional>
#include <string>

#include "tables/tabla.h"

namespace tts {

class Componente {
 public:
  Componente(std::string nombre, std::string tabla) : nombre_(std::move(nombre)), tabla_(std::move(tabla)) {}

  void abrir(const std::filesystem::path& carpeta);  // exclusivo; Error si falta o está en uso
  void cerrar();                                      // sin efecto si está cerrado
  bool abierto() const { return abierta_.has_value(); }
  Tabla& tabla();                                     // Error si está cerrado

  const std::string& nombre() const { return nombre_; }
  const std::string& nombre_tabla() const { return tabla_; }

 private:
  std::string nombre_;
  std::string tabla_;
  std::optional<Tabla> abierta_;
};

struct Componentes {
  Componente wwTableNomAsg{"wwTableNomAsg", "ASIGNOMT"};
  Componente wwTableProfesor{"wwTableProfesor", "PROFT"};
  Componente wwTableTramos{"wwTableTramos", "DIASHORAST"};
  Componente wwTableAulas{"wwTableAulas", "AULAT"};
  Componente wwTableGrupos{"wwTableGrupos", "GRUPOST"};
  Componente wwTableAsig{"wwTableAsig", "ASIGT"};
  Componente wwTableSoluc{"wwTableSoluc", "SOLUC"};
  Componente wwTableCursos{"wwTableCursos", "CURSOST"};

  // Los ocho en el orden en que los abre la importación: SOLUC, GRUPOST, CURSOST, PROFT,
  // AULAT, ASIGNOMT, DIASHORAST, ASIGT.
  std::array<Componente*, 8> en_orden();
  void abrir_todos(const std::filesystem::path& carpeta);  // en ese orden; Error en el primero que falle
  void cerrar_todos();  // en ese orden; nunca lanza
};

// Cierra al salir de su ámbito, también cuando un Error lo atraviesa.
class CierreComponentes {
 public:
  explicit CierreComponentes(Componentes& c) : c_(c) {}
  ~CierreComponentes() { c_.cerrar_todos(); }
  CierreComponentes(const CierreComponentes&) = delete;
  CierreComponentes& operator=(const CierreComponentes&) = delete;

 private:
  Componentes& c_;
};

}  // namespace tts
