#include "export/codigos.h"

#include <algorithm>

#include <fmt/format.h>

#include "comun/error.h"
#include "comun/informe.h"

namespace tts {
namespace {

// Cuántos códigos acortados de una lista se anotan uno a uno.
constexpr std::size_t kAcortadosAnotados = 5;

std::string encabezado(const ListaCodigos& lista) {
  return lista.ambito().empty() ? std::string() : lista.ambito() + ": ";
}

}  // namespace

std::string ListaCodigos::forma_almacenada(std::string_view codigo) const {
  return std::string(sin_blancos_finales(codigo.substr(0, std::min(codigo.size(), ancho_))));
}

bool ListaCodigos::contiene(std::string_view codigo) const {
  return codigos_.find(forma_almacenada(codigo)) != codigos_.end();
}

void ListaCodigos::anadir(std::string_view codigo) { codigos_.insert(forma_almacenada(codigo)); }

std::string AsignarCodigoCorto(std::string_view base, ListaCodigos& lista, std::size_t longitud_prefijo,
                               Informe* informe) {
  const std::size_t ancho = lista.ancho_;
  std::string codigo;
  bool acortado = false;

  const std::string base_almacenada = lista.forma_almacenada(base);
  if (!lista.contiene(base_almacenada)) {
    codigo = base_almacenada;
    acortado = sin_blancos_finales(base).size() > ancho;
  } else {
    // Los candidatos sólo dependen de los primeros longitud_prefijo caracteres de la base.
    const std::string_view prefijo_completo = base.substr(0, std::min(longitud_prefijo, base.size()));
    auto [pos, nuevo] = lista.siguiente_.try_emplace(std::string(prefijo_completo), 1);
    for (std::size_t contador = pos->second;; ++contador) {
      const std::string cifras = std::to_string(contador);
      if (cifras.size() > ancho)
        throw Error(fmt::format("{}no queda ningún código libre de {} caracteres para '{}'", encabezado(lista), ancho,
                                cp1252_a_utf8(base)));
      const std::size_t largo_prefijo = std::min(prefijo_completo.size(), ancho - cifras.size());
      std::string candidato = std::string(prefijo_completo.substr(0, largo_prefijo)) + cifras;
      if (!lista.contiene(candidato)) {
        codigo = std::move(candidato);
        acortado = largo_prefijo < prefijo_completo.size() || sin_blancos_finales(base).size() > ancho;
        pos->second = contador + 1;
        break;
      }
    }
  }

  lista.anadir(codigo);
  if (acortado) {
    ++lista.acortados_;
    if (lista.primeros_acortados_.size() < kAcortadosAnotados) lista.primeros_acortados_.emplace_back(base, codigo);
    if (informe && lista.acortados_ <= kAcortadosAnotados)
      informe->avisa(fmt::format("{}el código de '{}' se acortó a '{}' para que quepa en {} caracteres",
                                 encabezado(lista), cp1252_a_utf8(base), cp1252_a_utf8(codigo), ancho));
  }
  return codigo;
}

void anotar_acortados(const ListaCodigos& lista, Informe& informe) {
  if (lista.acortados() == 0) return;
  std::string nota = fmt::format("{}{} {} para que quepan en {} caracteres:", encabezado(lista), lista.acortados(),
                                 lista.acortados() == 1 ? "código acortado" : "códigos acortados", lista.ancho());
  const auto& primeros = lista.primeros_acortados();
  for (std::size_t i = 0; i < primeros.size(); ++i)
    nota += fmt::format("{} '{}' a '{}'", i == 0 ? "" : ",", cp1252_a_utf8(primeros[i].first),
                        cp1252_a_utf8(primeros[i].second));
  if (lista.acortados() > primeros.size()) nota += fmt::format(" y {} más", lista.acortados() - primeros.size());
  informe.avisa(std::move(nota));
}

}  // namespace tts
