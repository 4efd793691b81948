// El formato de los archivos dBase en bytes: cada desplazamiento de la cabecera, de los
// descriptores de campo y del índice .MDX tiene aquí su nombre, una sola vez, con lo que
// significa. También las lecturas y escrituras de enteros little-endian sobre un búfer, que
// comprueban el tamaño antes de tocarlo.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace tts::formato {

// --- Cabecera del .DBF ---------------------------------------------------------------
inline constexpr std::size_t kCabVersion = 0;          // byte de versión (variante)
inline constexpr std::size_t kCabFecha = 1;            // 3 bytes: año - 1900, mes, día
inline constexpr std::size_t kCabRegistros = 4;        // u32: número de registros
inline constexpr std::size_t kCabLongCabecera = 8;     // u16: bytes hasta el primer registro
inline constexpr std::size_t kCabLongRegistro = 10;    // u16: bytes de cada registro
inline constexpr std::size_t kCabIndiceProduccion = 28;  // 1: hay un .MDX de producción
inline constexpr std::size_t kCabIdioma = 29;          // controlador de idioma
inline constexpr std::size_t kTamCabecera = 32;        // cabecera dBase III/IV/FoxPro
inline constexpr std::size_t kTamCabecera7 = 68;       // cabecera dBase 7 (32-63: nombre del idioma)

inline constexpr std::uint8_t kVersionEscrita = 0x03;  // dBase III+/IV sin memo
inline constexpr std::uint8_t kIdiomaWindows1252 = 0x57;

// --- Descriptor de campo dBase III/IV/FoxPro (32 bytes) -------------------------------
inline constexpr std::size_t kTamDescriptor = 32;
inline constexpr std::size_t kDesNombre = 0;           // 11 bytes, relleno con ceros
inline constexpr std::size_t kLongNombre = 11;
inline constexpr std::size_t kDesTipo = 11;            // letra del tipo
inline constexpr std::size_t kDesLongitud = 16;
inline constexpr std::size_t kDesDecimales = 17;
inline constexpr std::size_t kDesEnIndice = 31;        // 1: el .MDX tiene una etiqueta sobre él

// --- Descriptor de campo dBase 7 (48 bytes) -------------------------------------------
inline constexpr std::size_t kTamDescriptor7 = 48;
inline constexpr std::size_t kDes7Nombre = 0;          // 32 bytes
inline constexpr std::size_t kLongNombre7 = 32;
inline constexpr std::size_t kDes7Tipo = 32;
inline constexpr std::size_t kDes7Longitud = 33;
inline constexpr std::size_t kDes7Decimales = 34;

inline constexpr char kFinDescriptores = 0x0D;
inline constexpr char kFinArchivo = 0x1A;
inline constexpr char kRegistroVivo = ' ';
inline constexpr char kRegistroBorrado = '*';

// Anchuras de los tipos que se escriben.
inline constexpr int kAnchoEntero = 11;
inline constexpr int kAnchoFlotante = 20;
inline constexpr int kDecimalesFlotante = 4;
inline constexpr int kAnchoMaximoCaracter = 254;

// --- Índice de producción .MDX (dBase IV) ---------------------------------------------
inline constexpr std::size_t kTamPagina = 512;
inline constexpr std::size_t kPaginasBloque = 2;
inline constexpr std::size_t kTamBloque = kTamPagina * kPaginasBloque;

// Cabecera del archivo (página 0).
inline constexpr std::size_t kMdxVersion = 0;          // 2
inline constexpr std::size_t kMdxFecha = 1;            // 3 bytes: fecha de creación
inline constexpr std::size_t kMdxNombreTabla = 4;      // 16 bytes, sin extensión
inline constexpr std::size_t kLongNombreTabla = 16;
inline constexpr std::size_t kMdxPaginasBloque = 20;   // u16
inline constexpr std::size_t kMdxTamBloque = 22;       // u16
inline constexpr std::size_t kMdxProduccion = 24;      // 1
inline constexpr std::size_t kMdxRanuras = 25;         // 48 ranuras de etiqueta
inline constexpr std::size_t kMdxLongRanura = 26;      // 32 bytes cada una
inline constexpr std::size_t kMdxEtiquetas = 28;       // u16: etiquetas en uso
inline constexpr std::size_t kMdxPrimeraLibre = 32;    // u32: primera página sin usar
inline constexpr std::size_t kMdxListaLibre = 36;      // u32: primera página de la lista libre
inline constexpr std::size_t kMdxBloquesLibres = 40;   // u32
inline constexpr std::size_t kMdxFechaCambio = 44;     // 3 bytes: última actualización
inline constexpr std::size_t kMdxMarca529 = 529;       // 0x01
inline constexpr std::uint8_t kMdxNumRanuras = 48;
inline constexpr std::uint8_t kMdxTamRanura = 32;
inline constexpr std::size_t kMdxPrimeraPaginaEtiqueta = 4;  // tras la tabla de etiquetas

// Ranura de etiqueta i (desde 1) en 512 + 32 × i.
inline constexpr std::size_t kRanuraBase = 512;
inline constexpr std::size_t kRanPagina = 0;           // u32: página de la cabecera de la etiqueta
inline constexpr std::size_t kRanNombre = 4;           // 11 bytes
inline constexpr std::size_t kLongNombreEtiqueta = 11;
inline constexpr std::size_t kRanFormato = 15;         // 0x10
inline constexpr std::size_t kRanIzquierda = 16;       // árbol binario sobre los nombres
inline constexpr std::size_t kRanDerecha = 17;
inline constexpr std::size_t kRanPadre = 18;
inline constexpr std::size_t kRan19 = 19;              // 0x02
inline constexpr std::size_t kRanTipoClave = 20;       // 'C', 'N' o 'D'

// Cabecera de una etiqueta (un bloque propio).
inline constexpr std::size_t kEtiRaiz = 0;             // u32: página raíz
inline constexpr std::size_t kEtiPaginas = 4;          // u32: páginas en uso
inline constexpr std::size_t kEtiFormato = 8;          // 0x10 (+0x08 descendente, +0x40 única)
inline constexpr std::size_t kEtiTipoClave = 9;
inline constexpr std::size_t kEtiLongClave = 12;       // u16
inline constexpr std::size_t kEtiMaxClaves = 14;       // u16: claves por nodo
inline constexpr std::size_t kEtiLongElemento = 18;    // u16: clave + 4, múltiplo de 4
inline constexpr std::size_t kEtiSerie = 20;
inline constexpr std::size_t kEtiUnica = 23;
inline constexpr std::size_t kEtiExpresion = 24;       // el nombre del campo, acabado en NUL
inline constexpr std::size_t kLongExpresion = 220;
inline constexpr std::size_t kEtiTieneClaves = 246;
inline constexpr std::size_t kEtiPrimeraHoja = 248;    // u32
inline constexpr std::size_t kEtiUltimaHoja = 252;     // u32
inline constexpr std::uint8_t kFormatoAscendente = 0x10;

// Nodo (un bloque).
inline constexpr std::size_t kNodoClaves = 0;          // u32: claves en el nodo
inline constexpr std::size_t kNodoAnterior = 4;        // u32
inline constexpr std::size_t kNodoElementos = 8;       // {u32 registro o hijo; clave}
inline constexpr std::size_t kLongClaveNumerica = 12;  // decimal empaquetado

// --- Enteros little-endian sobre un búfer ----------------------------------------------
inline std::uint32_t leer_u16(std::string_view b, std::size_t p) {
  return static_cast<std::uint32_t>(static_cast<unsigned char>(b[p])) |
         static_cast<std::uint32_t>(static_cast<unsigned char>(b[p + 1])) << 8;
}
inline std::uint32_t leer_u32(std::string_view b, std::size_t p) {
  return leer_u16(b, p) | leer_u16(b, p + 2) << 16;
}
inline void poner_u8(std::string& b, std::size_t p, std::uint32_t v) { b[p] = static_cast<char>(v & 0xFF); }
inline void poner_u16(std::string& b, std::size_t p, std::uint32_t v) {
  poner_u8(b, p, v);
  poner_u8(b, p + 1, v >> 8);
}
inline void poner_u32(std::string& b, std::size_t p, std::uint32_t v) {
  poner_u16(b, p, v);
  poner_u16(b, p + 2, v >> 16);
}

// La fecha de hoy en los tres bytes de dBase (año - 1900, mes, día).
void poner_fecha_hoy(std::string& b, std::size_t p);

}  // namespace tts::formato
