// Piezas que comparten los pasos de la exportación: abrir la tabla recién creada con sus
// cortes anotados, la forma en que un campo de caracteres guarda un texto y las notas del
// informe (filas escritas, listas breves de nombres).
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "comun/informe.h"
#include "tables/tabla.h"

namespace tts::pasos {

// Cuántos nombres se dan como mucho en una nota del informe.
inline constexpr std::size_t kNombresEnNota = 5;
// Cuántos valores cortados de una tabla se anotan uno a uno.
inline constexpr std::size_t kCortesEnNota = 3;

// Los valores cortados a la anchura de su campo que anota una tabla, reunidos para el
// informe: sin repetir (el mismo valor cortado en muchas filas es una nota) y a lo sumo
// kCortesEnNota; de los demás, cuántos hubo.
class Cortes {
 public:
  Cortes(Informe& destino, std::string tabla) : destino_(destino), tabla_(std::move(tabla)) {}
  Informe* informe() { return &propio_; }
  void volcar();  // pasa las notas al informe de destino

 private:
  Informe& destino_;
  std::string tabla_;
  Informe propio_;
};

// Abre en modo compartido la tabla T de la carpeta, con sus cortes anotados en `cortes`.
Tabla abrir(const std::filesystem::path& carpeta, std::string_view tabla, Cortes& cortes);

// El texto tal como lo devuelve un campo de caracteres de esa anchura: los primeros
// `ancho` caracteres, sin blancos finales.
std::string almacenado(std::string_view texto, std::size_t ancho);

// Los primeros `ancho` caracteres (todo el texto si es más corto).
std::string_view inicio(std::string_view texto, std::size_t ancho);

// "ASIGNOMT: 12 filas" (o "1 fila"), con un añadido opcional entre paréntesis.
void anotar_filas(Informe& informe, std::string_view tabla, std::size_t filas, std::string_view detalle = "");

// Una lista breve de nombres para una nota: los primeros, entre comillas simples, y
// "y N más" si hay más de los que caben. Los nombres ya van en UTF-8.
class ListaBreve {
 public:
  void anadir(std::string_view nombre_cp1252);
  std::size_t cuantos() const { return total_; }
  bool vacia() const { return total_ == 0; }
  std::string texto() const;

 private:
  std::vector<std::string> primeros_;
  std::size_t total_ = 0;
};

// El número entero de un dato. Si el texto no lo es, anota en el informe dónde estaba
// (grupo, registro, qué dato) y lanza el error de conversión, con su texto de siempre.
std::int32_t entero_del_registro(std::string_view texto, std::string_view grupo, std::size_t registro,
                                 std::string_view que, Informe& informe);

}  // namespace tts::pasos
