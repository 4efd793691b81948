// Apoyo de las pruebas de la exportación: documentos pequeños escritos en la prueba, un
// contexto de exportación sobre una carpeta temporal y la lectura de las tablas escritas.
#pragma once

#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "comun/informe.h"
#include "comun/texto.h"
#include "export/exportacion.h"
#include "tables/carpeta.h"
#include "tables/componentes.h"
#include "tables/tabla.h"
#include "tests/apoyo/apoyo.h"
#include "xml/documento.h"

namespace tts::prueba {

// Un registro: los textos de sus datos, en UTF-8, por posición.
using DatosRegistro = std::vector<std::string>;

struct GrupoPrueba {
  std::string seq;
  std::vector<DatosRegistro> registros;
};

inline std::string escapar_xml(std::string_view t) {
  std::string s;
  for (char c : t) {
    if (c == '&') s += "&amp;";
    else if (c == '<') s += "&lt;";
    else if (c == '>') s += "&gt;";
    else s += c;
  }
  return s;
}

// El sobre con esos grupos. Los datos se llaman D0, D1 ..., de modo que se leen por posición.
inline std::string xml_de(const std::vector<GrupoPrueba>& grupos) {
  std::string x = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<SERVICIO><BLOQUE_DATOS>\n";
  for (const auto& g : grupos) {
    x += "<grupo_datos seq=\"" + g.seq + "\">\n";
    for (const auto& r : g.registros) {
      x += " <grupo_datos>";
      for (std::size_t i = 0; i < r.size(); ++i)
        x += "<dato nombre_dato=\"D" + std::to_string(i) + "\">" + escapar_xml(r[i]) + "</dato>";
      x += "</grupo_datos>\n";
    }
    x += "</grupo_datos>\n";
  }
  return x + "</BLOQUE_DATOS></SERVICIO>\n";
}

// Un documento cargado, una carpeta temporal y el contexto de exportación sobre ambos.
class Exportacion {
 public:
  explicit Exportacion(const std::vector<GrupoPrueba>& grupos) { documento.cargar_memoria(xml_de(grupos), "prueba.xml"); }
  explicit Exportacion(const std::filesystem::path& archivo) { documento.cargar(archivo); }

  Documento documento;
  CarpetaTemporal carpeta;
  Informe informe;
  Componentes componentes;
  ContextoExportacion ctx{documento, carpeta.ruta(), informe, componentes};
};

using Fila = std::map<std::string, std::string>;

// Las filas de la tabla en orden de grabación, con los campos pedidos como texto.
inline std::vector<Fila> filas(const std::filesystem::path& carpeta, std::string_view tabla,
                               const std::vector<std::string>& campos) {
  Tabla t = Tabla::abrir(archivo_tabla(carpeta, tabla), Modo::compartido);
  std::vector<Fila> salida;
  for (t.primero(); !t.fin(); t.siguiente()) {
    Fila f;
    for (const auto& c : campos) f[c] = t.texto(c);
    salida.push_back(std::move(f));
  }
  return salida;
}

// Una columna de la tabla, en orden de grabación.
inline std::vector<std::string> columna(const std::filesystem::path& carpeta, std::string_view tabla,
                                        const std::string& campo) {
  std::vector<std::string> salida;
  for (auto& f : filas(carpeta, tabla, {campo})) salida.push_back(f[campo]);
  return salida;
}

inline std::string cp(std::string_view utf8) { return utf8_a_cp1252(utf8); }

}  // namespace tts::prueba
