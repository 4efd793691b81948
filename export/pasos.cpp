#include "export/pasos.h"

#include <algorithm>
#include <unordered_set>

#include <fmt/format.h>

#include "comun/error.h"
#include "comun/texto.h"
#include "tables/carpeta.h"

namespace tts::pasos {

Tabla abrir(const std::filesystem::path& carpeta, std::string_view tabla, Cortes& cortes) {
  Tabla t = Tabla::abrir(archivo_tabla(carpeta, tabla), Modo::compartido);
  t.anotar_cortes_en(cortes.informe());
  return t;
}

void Cortes::volcar() {
  std::unordered_set<std::string> vistas;
  std::size_t mas = 0;
  for (const auto& nota : propio_.notas()) {
    if (!vistas.insert(nota.texto).second) continue;
    if (vistas.size() > kCortesEnNota) {
      ++mas;
      continue;
    }
    if (nota.tipo == Informe::Tipo::aviso)
      destino_.avisa(nota.texto);
    else
      destino_.informa(nota.texto);
  }
  if (mas > 0)
    destino_.avisa(fmt::format("Tabla {}: {} {} más cortados a la anchura de su campo", tabla_, mas,
                               mas == 1 ? "valor" : "valores"));
  propio_ = Informe();
}

std::string_view inicio(std::string_view texto, std::size_t ancho) {
  return texto.substr(0, std::min(texto.size(), ancho));
}

std::string almacenado(std::string_view texto, std::size_t ancho) {
  return std::string(sin_blancos_finales(inicio(texto, ancho)));
}

void anotar_filas(Informe& informe, std::string_view tabla, std::size_t filas, std::string_view detalle) {
  std::string nota = fmt::format("{}: {} {}", tabla, filas, filas == 1 ? "fila" : "filas");
  if (!detalle.empty()) nota += fmt::format(" ({})", detalle);
  informe.informa(std::move(nota));
}

void ListaBreve::anadir(std::string_view nombre_cp1252) {
  if (primeros_.size() < kNombresEnNota) primeros_.push_back(cp1252_a_utf8(nombre_cp1252));
  ++total_;
}

std::string ListaBreve::texto() const {
  std::string salida;
  for (std::size_t i = 0; i < primeros_.size(); ++i) {
    if (i > 0) salida += (i + 1 == primeros_.size() && total_ == primeros_.size()) ? " y " : ", ";
    salida += "'" + primeros_[i] + "'";
  }
  if (total_ > primeros_.size()) salida += fmt::format(" y {} más", total_ - primeros_.size());
  return salida;
}

std::int32_t entero_del_registro(std::string_view texto, std::string_view grupo, std::size_t registro,
                                 std::string_view que, Informe& informe) {
  if (auto v = leer_entero(texto)) return *v;
  informe.avisa(fmt::format("Grupo {}, registro {}: {} '{}' no es un número entero", grupo, registro + 1, que,
                            cp1252_a_utf8(texto)));
  return entero_o_error(texto);
}

}  // namespace tts::pasos
