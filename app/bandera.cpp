#include "app/bandera.h"

#include <fstream>
#include <iterator>
#include <optional>
#include <system_error>
#include <vector>

#include "app/anfitrion.h"
#include "comun/error.h"

namespace tts {

namespace {

struct Linea {
  std::string_view texto;  // sin el final de línea
  std::string_view final;  // "\r\n", "\n" o vacío en la última
};

std::vector<Linea> partir(std::string_view texto) {
  std::vector<Linea> lineas;
  while (!texto.empty()) {
    const auto salto = texto.find('\n');
    if (salto == std::string_view::npos) {
      lineas.push_back({texto, {}});
      break;
    }
    const bool cr = salto > 0 && texto[salto - 1] == '\r';
    lineas.push_back({texto.substr(0, cr ? salto - 1 : salto), texto.substr(cr ? salto - 1 : salto, cr ? 2 : 1)});
    texto.remove_prefix(salto + 1);
  }
  return lineas;
}

std::string_view sin_blancos(std::string_view texto) {
  const auto inicio = texto.find_first_not_of(" \t");
  if (inicio == std::string_view::npos) return {};
  const auto fin = texto.find_last_not_of(" \t");
  return texto.substr(inicio, fin - inicio + 1);
}

// El nombre de la sección si la línea la abre.
std::optional<std::string_view> seccion(std::string_view linea) {
  linea = sin_blancos(linea);
  if (linea.empty() || linea.front() != '[') return std::nullopt;
  const auto cierre = linea.find(']');
  return sin_blancos(linea.substr(1, cierre == std::string_view::npos ? std::string_view::npos : cierre - 1));
}

bool es_comentario(std::string_view linea) {
  linea = sin_blancos(linea);
  return !linea.empty() && (linea.front() == ';' || linea.front() == '#');
}

bool mismo_nombre(std::string_view a, std::string_view b) { return minusculas_az(a) == minusculas_az(b); }

}  // namespace

std::filesystem::path ruta_bandera(const std::filesystem::path& carpeta) {
  std::error_code error;
  for (const auto& entrada : std::filesystem::directory_iterator(carpeta, error)) {
    if (mismo_nombre(entrada.path().filename().string(), kArchivoBandera)) return entrada.path();
  }
  return carpeta / kArchivoBandera;
}

std::string poner_bandera(std::string_view texto, int valor) {
  const std::string numero = std::to_string(valor);
  const auto lineas = partir(texto);
  std::string_view fin_linea = "\r\n";
  for (const auto& linea : lineas) {
    if (!linea.final.empty()) {
      fin_linea = linea.final;
      break;
    }
  }
  const std::string nueva_clave = std::string(kClaveBandera) + "=" + numero;

  // Dónde está la sección, su última clave (o su cabecera) y la clave buscada.
  std::optional<std::size_t> cabecera, ultima, clave;
  bool dentro = false;
  for (std::size_t i = 0; i < lineas.size(); ++i) {
    if (const auto nombre = seccion(lineas[i].texto)) {
      if (cabecera && dentro) break;  // la sección ya acabó; sólo cuenta la primera
      dentro = mismo_nombre(*nombre, kSeccionBandera);
      if (dentro) cabecera = ultima = i;
      continue;
    }
    if (!dentro) continue;
    if (sin_blancos(lineas[i].texto).empty() || es_comentario(lineas[i].texto)) continue;
    ultima = i;
    const auto igual = lineas[i].texto.find('=');
    if (igual != std::string_view::npos && mismo_nombre(sin_blancos(lineas[i].texto.substr(0, igual)), kClaveBandera)) {
      clave = i;
      break;
    }
  }

  std::string salida;
  salida.reserve(texto.size() + 64);
  auto anadir = [&](const Linea& linea) {
    salida.append(linea.texto);
    salida.append(linea.final);
  };
  for (std::size_t i = 0; i < lineas.size(); ++i) {
    if (clave && i == *clave) {
      const auto igual = lineas[i].texto.find('=');
      salida.append(lineas[i].texto.substr(0, igual + 1));
      salida.append(numero);
      salida.append(lineas[i].final);
      continue;
    }
    anadir(lineas[i]);
    if (!clave && ultima && i == *ultima) {
      if (lineas[i].final.empty()) salida.append(fin_linea);
      salida.append(nueva_clave);
      salida.append(lineas[i].final.empty() ? std::string(fin_linea) : std::string(lineas[i].final));
    }
  }
  if (!cabecera) {
    if (!salida.empty() && salida.back() != '\n') salida.append(fin_linea);
    salida.append("[").append(kSeccionBandera).append("]").append(fin_linea);
    salida.append(nueva_clave).append(fin_linea);
  }
  return salida;
}

void escribir_bandera(const std::filesystem::path& ini, int valor) {
  const Error fallo("No se puede escribir en " + ini.string());
  std::string texto;
  std::error_code error;
  if (std::filesystem::exists(ini, error)) {
    std::ifstream entrada(ini, std::ios::binary);
    if (!entrada) throw fallo;
    texto.assign(std::istreambuf_iterator<char>(entrada), std::istreambuf_iterator<char>());
    if (entrada.bad()) throw fallo;
  }
  const std::string nuevo = poner_bandera(texto, valor);
  std::ofstream salida(ini, std::ios::binary | std::ios::trunc);
  if (!salida) throw fallo;
  salida.write(nuevo.data(), static_cast<std::streamsize>(nuevo.size()));
  salida.close();
  if (!salida) throw fallo;
}

}  // namespace tts
