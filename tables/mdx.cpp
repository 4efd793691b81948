#include "tables/mdx.h"

#include <algorithm>

#include "comun/texto.h"
#include "tables/formato.h"

namespace tts::mdx {

using namespace formato;

std::string clave_numerica(std::string_view texto) {
  std::string_view t = recortar(texto);
  bool negativo = false;
  if (!t.empty() && (t.front() == '-' || t.front() == '+')) {
    negativo = t.front() == '-';
    t.remove_prefix(1);
  }
  const std::size_t punto = t.find('.');
  std::string_view entera = t.substr(0, punto);
  std::string_view fraccion = punto == std::string_view::npos ? std::string_view{} : t.substr(punto + 1);
  while (!entera.empty() && entera.front() == '0') entera.remove_prefix(1);
  // Cifras significativas y la posición del punto decimal respecto de la primera.
  std::string cifras;
  int exponente = static_cast<int>(entera.size());
  for (char c : entera)
    if (c >= '0' && c <= '9') cifras += c;
  for (char c : fraccion)
    if (c >= '0' && c <= '9') cifras += c;
  if (entera.empty()) {
    std::size_t ceros = 0;
    while (ceros < cifras.size() && cifras[ceros] == '0') ++ceros;
    cifras.erase(0, ceros);
    exponente = -static_cast<int>(ceros);
  }
  while (!cifras.empty() && cifras.back() == '0') cifras.pop_back();
  if (cifras.size() > 20) cifras.resize(20);
  if (cifras.empty()) {
    exponente = 0;
    negativo = false;
  }
  std::string clave(kLongClaveNumerica, '\0');
  clave[0] = static_cast<char>(0x34 + exponente);
  clave[1] = static_cast<char>((negativo ? 0x80 : 0x00) | (cifras.size() << 2) | 0x01);
  for (std::size_t i = 0; i < cifras.size(); ++i) {
    const int d = cifras[i] - '0';
    auto& b = clave[2 + i / 2];
    b = static_cast<char>(static_cast<unsigned char>(b) | (i % 2 == 0 ? d << 4 : d));
  }
  return clave;
}

namespace {

// Los bloques del archivo se reparten por orden; cada uno se escribe en su página.
class Archivo {
 public:
  explicit Archivo(std::size_t paginas_cabecera) : datos_(paginas_cabecera * kTamPagina, '\0') {}
  std::uint32_t nuevo_bloque() {
    const auto pagina = static_cast<std::uint32_t>(datos_.size() / kTamPagina);
    datos_.resize(datos_.size() + kTamBloque, '\0');
    return pagina;
  }
  std::string& datos() { return datos_; }
  std::uint32_t paginas() const { return static_cast<std::uint32_t>(datos_.size() / kTamPagina); }

 private:
  std::string datos_;
};

// Copia la clave en su sitio, a lo sumo long_clave bytes: nunca cambia el tamaño del archivo.
void poner_clave(std::string& d, std::size_t p, std::string_view clave, std::size_t long_clave) {
  const std::size_t n = std::min(clave.size(), long_clave);
  d.replace(p, n, clave.substr(0, n));
}

struct Nodo {
  std::uint32_t pagina;
  std::string ultima_clave;
};

// El árbol de la etiqueta: hojas repartidas por igual, y niveles interiores hasta la raíz.
// Devuelve la raíz y las hojas primera y última.
struct Arbol {
  std::uint32_t raiz = 0, primera_hoja = 0, ultima_hoja = 0;
};

Arbol escribir_arbol(Archivo& a, const EtiquetaEscrita& e, std::size_t long_elemento, std::size_t max_claves) {
  Arbol arbol;
  const std::size_t n = e.entradas.size();
  const std::size_t hojas = n == 0 ? 1 : (n + max_claves - 1) / max_claves;
  std::vector<Nodo> nivel;
  for (std::size_t j = 0; j < hojas; ++j) {
    const std::size_t desde = j * n / hojas, hasta = (j + 1) * n / hojas;
    const std::uint32_t pagina = a.nuevo_bloque();
    const std::size_t base = pagina * kTamPagina;
    std::string& d = a.datos();
    poner_u32(d, base + kNodoClaves, static_cast<std::uint32_t>(hasta - desde));
    for (std::size_t k = desde; k < hasta; ++k) {
      const std::size_t p = base + kNodoElementos + (k - desde) * long_elemento;
      poner_u32(d, p, e.entradas[k].registro);
      poner_clave(d, p + 4, e.entradas[k].clave, e.long_clave);
    }
    nivel.push_back({pagina, hasta > desde ? e.entradas[hasta - 1].clave : std::string(e.long_clave, '\0')});
  }
  arbol.primera_hoja = nivel.front().pagina;
  arbol.ultima_hoja = nivel.back().pagina;
  const std::size_t max_hijos = max_claves + 1;
  while (nivel.size() > 1) {
    const std::size_t s = nivel.size();
    const std::size_t grupos = (s + max_hijos - 1) / max_hijos;
    std::vector<Nodo> arriba;
    for (std::size_t j = 0; j < grupos; ++j) {
      const std::size_t desde = j * s / grupos, hasta = (j + 1) * s / grupos;
      const std::uint32_t pagina = a.nuevo_bloque();
      const std::size_t base = pagina * kTamPagina;
      std::string& d = a.datos();
      // hasta - desde - 1 claves, cada una con el hijo a su izquierda; el último hijo detrás.
      poner_u32(d, base + kNodoClaves, static_cast<std::uint32_t>(hasta - desde - 1));
      for (std::size_t k = desde; k < hasta; ++k) {
        const std::size_t p = base + kNodoElementos + (k - desde) * long_elemento;
        poner_u32(d, p, nivel[k].pagina);
        if (k + 1 < hasta) poner_clave(d, p + 4, nivel[k].ultima_clave, e.long_clave);
      }
      arriba.push_back({pagina, nivel[hasta - 1].ultima_clave});
    }
    nivel = std::move(arriba);
  }
  arbol.raiz = nivel.front().pagina;
  return arbol;
}

void poner_texto(std::string& d, std::size_t p, std::string_view t, std::size_t maximo) {
  d.replace(p, std::min(t.size(), maximo), t.substr(0, maximo));
}

}  // namespace

std::string construir(std::string_view nombre_tabla, const std::vector<EtiquetaEscrita>& etiquetas) {
  Archivo a(kMdxPrimeraPaginaEtiqueta);
  std::vector<std::uint32_t> paginas_cabecera;
  for (const auto& e : etiquetas) {
    const std::size_t long_elemento = (e.long_clave + 4 + 3) / 4 * 4;
    const std::size_t max_claves = (kTamBloque - 12) / long_elemento;
    const std::uint32_t cabecera = a.nuevo_bloque();
    paginas_cabecera.push_back(cabecera);
    const Arbol arbol = escribir_arbol(a, e, long_elemento, max_claves);
    std::string& d = a.datos();
    const std::size_t b = cabecera * kTamPagina;
    poner_u32(d, b + kEtiRaiz, arbol.raiz);
    poner_u8(d, b + kEtiFormato, kFormatoAscendente);
    poner_u8(d, b + kEtiTipoClave, static_cast<unsigned char>(e.tipo_clave));
    poner_u16(d, b + kEtiLongClave, static_cast<std::uint32_t>(e.long_clave));
    poner_u16(d, b + kEtiMaxClaves, static_cast<std::uint32_t>(max_claves));
    poner_u16(d, b + kEtiLongElemento, static_cast<std::uint32_t>(long_elemento));
    poner_u8(d, b + kEtiSerie, 0);
    poner_u8(d, b + kEtiUnica, 0);
    poner_texto(d, b + kEtiExpresion, e.campo, kLongExpresion - 1);
    poner_u8(d, b + kEtiTieneClaves, e.entradas.empty() ? 0 : 1);
    poner_u32(d, b + kEtiPrimeraHoja, arbol.primera_hoja);
    poner_u32(d, b + kEtiUltimaHoja, arbol.ultima_hoja);
  }
  std::string& d = a.datos();
  const std::uint32_t total = a.paginas();
  for (std::uint32_t pagina : paginas_cabecera) poner_u32(d, pagina * kTamPagina + kEtiPaginas, total);

  // Cabecera del archivo.
  poner_u8(d, kMdxVersion, 2);
  poner_fecha_hoy(d, kMdxFecha);
  poner_texto(d, kMdxNombreTabla, nombre_tabla, kLongNombreTabla);
  poner_u16(d, kMdxPaginasBloque, kPaginasBloque);
  poner_u16(d, kMdxTamBloque, kTamBloque);
  poner_u8(d, kMdxProduccion, 1);
  poner_u8(d, kMdxRanuras, kMdxNumRanuras);
  poner_u8(d, kMdxLongRanura, kMdxTamRanura);
  poner_u16(d, kMdxEtiquetas, static_cast<std::uint32_t>(etiquetas.size()));
  poner_u32(d, kMdxPrimeraLibre, total);
  poner_u32(d, kMdxListaLibre, 0);
  poner_u32(d, kMdxBloquesLibres, 0);
  poner_fecha_hoy(d, kMdxFechaCambio);
  poner_u8(d, kMdxMarca529, 1);

  // Tabla de etiquetas con su árbol binario de nombres (en el orden de inserción).
  std::vector<int> izquierda(etiquetas.size(), 0), derecha(etiquetas.size(), 0), padre(etiquetas.size(), 0);
  for (std::size_t i = 1; i < etiquetas.size(); ++i) {
    std::size_t n = 0;
    for (;;) {
      auto& rama = etiquetas[i].nombre < etiquetas[n].nombre ? izquierda[n] : derecha[n];
      if (rama == 0) {
        rama = static_cast<int>(i + 1);
        padre[i] = static_cast<int>(n + 1);
        break;
      }
      n = static_cast<std::size_t>(rama - 1);
    }
  }
  for (std::size_t i = 0; i < etiquetas.size(); ++i) {
    const std::size_t r = kRanuraBase + kMdxTamRanura * (i + 1);
    poner_u32(d, r + kRanPagina, paginas_cabecera[i]);
    poner_texto(d, r + kRanNombre, etiquetas[i].nombre, kLongNombreEtiqueta - 1);
    poner_u8(d, r + kRanFormato, kFormatoAscendente);
    poner_u8(d, r + kRanIzquierda, static_cast<std::uint32_t>(izquierda[i]));
    poner_u8(d, r + kRanDerecha, static_cast<std::uint32_t>(derecha[i]));
    poner_u8(d, r + kRanPadre, static_cast<std::uint32_t>(padre[i]));
    poner_u8(d, r + kRan19, 0x02);
    poner_u8(d, r + kRanTipoClave, static_cast<unsigned char>(etiquetas[i].tipo_clave));
  }
  return d;
}

namespace {

std::string texto_hasta_nul(std::string_view d, std::size_t p, std::size_t maximo) {
  if (p >= d.size()) return {};
  std::string_view t = d.substr(p, std::min(maximo, d.size() - p));
  t = t.substr(0, t.find('\0'));
  return std::string(recortar(t));
}

}  // namespace

std::vector<EtiquetaLeida> leer_etiquetas(std::string_view d) {
  std::vector<EtiquetaLeida> etiquetas;
  if (d.size() < kRanuraBase + kMdxTamRanura) return etiquetas;
  const std::size_t usadas = std::min<std::size_t>(leer_u16(d, kMdxEtiquetas), kMdxNumRanuras - 1);
  for (std::size_t i = 1; i <= usadas; ++i) {
    const std::size_t r = kRanuraBase + kMdxTamRanura * i;
    if (r + kMdxTamRanura > d.size()) break;
    const std::uint64_t cabecera = std::uint64_t{leer_u32(d, r + kRanPagina)} * kTamPagina;
    if (cabecera + kEtiExpresion >= d.size()) continue;
    EtiquetaLeida e{texto_hasta_nul(d, r + kRanNombre, kLongNombreEtiqueta),
                    texto_hasta_nul(d, static_cast<std::size_t>(cabecera) + kEtiExpresion, kLongExpresion)};
    if (!e.nombre.empty() && !e.campo.empty()) etiquetas.push_back(std::move(e));
  }
  return etiquetas;
}

}  // namespace tts::mdx
