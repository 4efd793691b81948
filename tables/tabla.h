// Tabla: una tabla dBase (archivo .DBF y, si tiene índice, su índice de producción .MDX).
// Escribe tablas dBase III+/IV (versión 0x03, controlador de idioma 0x57, Windows-1252);
// lee las variantes habituales de dBase, FoxPro y dBase 7, porque SOLUC la escribe otro
// programa, y salta los registros borrados. Un archivo dañado es un Error que nombra la
// tabla; el lector nunca lee fuera de lo que hay en el archivo.
//
// Textos en Windows-1252. Un valor más largo que su campo de caracteres se guarda cortado a
// la anchura (y se anota en el informe, si la tabla tiene uno); al leer se quitan los
// blancos de relleno. Las filas se añaden con anadir / poner / grabar y se recorren con
// primero / siguiente / fin, en el orden en que se grabaron, o en el de un índice.
//
// Cada Tabla abierta tiene su bloqueo (exclusivo o compartido) y lo suelta al cerrarse o
// destruirse, también cuando un Error la atraviesa.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tts {

class Informe;

enum class TipoCampo { caracter, entero, flotante };

struct DefinicionCampo {
  std::string nombre;  // en mayúsculas, a lo sumo 10 caracteres
  TipoCampo tipo;
  int ancho = 0;       // sólo para caracter

  static DefinicionCampo caracter(std::string nombre, int ancho) { return {std::move(nombre), TipoCampo::caracter, ancho}; }
  static DefinicionCampo entero(std::string nombre) { return {std::move(nombre), TipoCampo::entero, 0}; }
  static DefinicionCampo flotante(std::string nombre) { return {std::move(nombre), TipoCampo::flotante, 0}; }
};

// Índice ascendente, no único, sobre un campo (una etiqueta del .MDX de producción).
struct DefinicionIndice {
  std::string nombre;  // nombre de la etiqueta, por ejemplo "ORDEN"
  std::string campo;   // campo que indexa
};

enum class Modo { compartido, exclusivo };

class Tabla {
 public:
  // Escribe la tabla vacía (y su .MDX si hay índices). Error si ya existe o no se puede crear.
  static void crear(const std::filesystem::path& dbf, std::span<const DefinicionCampo> campos,
                    std::span<const DefinicionIndice> indices = {});

  // Abre una tabla existente. componente es el nombre con el que la tabla se presenta en
  // los mensajes (por ejemplo "wwTableSoluc"); vacío: el nombre del archivo.
  static Tabla abrir(const std::filesystem::path& dbf, Modo modo, std::string componente = "");

  Tabla(Tabla&&) noexcept;
  Tabla& operator=(Tabla&&) noexcept;
  ~Tabla();  // cierra sin lanzar

  // Escribe lo pendiente (cabecera, fin de archivo, índice) y suelta archivo y bloqueo.
  void cerrar();

  // Si se da, los valores cortados a la anchura de su campo se anotan en él.
  void anotar_cortes_en(Informe* informe);

  // Escritura: una fila nueva con todos los campos vacíos; poner fija campos; grabar la añade.
  void anadir();
  void poner(std::string_view campo, std::string_view texto);
  void poner(std::string_view campo, std::int32_t valor);
  void poner_flotante(std::string_view campo, double valor);
  void grabar();

  // Recorrido en el orden actual (el de grabación, o el del índice elegido), con el filtro.
  void primero();
  void siguiente();
  bool fin() const;
  std::size_t cuantos() const;  // registros que el recorrido ve (vivos y, si hay filtro, que lo pasan)

  // Lectura del registro actual. Error "<componente>: No se encuentra el campo '<CAMPO>'" si
  // el campo no existe; entero() de un texto que no es un número entero: "'%s' no es un
  // valor entero válido".
  std::string texto(std::string_view campo) const;
  std::int32_t entero(std::string_view campo) const;
  double flotante(std::string_view campo) const;
  bool tiene_campo(std::string_view campo) const;

  // Filtro de igualdad sobre un campo: exacto, distinguiendo mayúsculas, comparando el texto
  // leído del campo con el valor. Deja el recorrido en el primero que lo pasa.
  void filtrar(std::string_view campo, std::string_view valor);
  void quitar_filtro();

  // Recorre según la etiqueta de índice dada (claves ascendentes; iguales por número de
  // registro). Cadena vacía: vuelve al orden de grabación.
  void ordenar_por(std::string_view indice);

  const std::vector<DefinicionCampo>& campos() const;
  const std::string& nombre() const;  // el del componente o el del archivo, para mensajes
  const std::filesystem::path& ruta() const;

 private:
  struct Impl;
  explicit Tabla(std::unique_ptr<Impl> impl);
  std::unique_ptr<Impl> impl_;
};

}  // namespace tts
