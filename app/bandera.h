// La bandera del resultado: en modo anfitrión, al cerrarse la ventana, el valor de
// ResultadoTransformacion ("1", "-1" o "0") queda en "Tamsel.ini", en la carpeta del propio
// programa, sección "Transformadores", clave "Transformado". El programa de horarios la lee
// allí. Del archivo sólo cambia esa línea: las demás secciones, claves, comentarios, blancos
// y finales de línea se quedan byte a byte.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace tts {

inline constexpr std::string_view kArchivoBandera = "Tamsel.ini";
inline constexpr std::string_view kSeccionBandera = "Transformadores";
inline constexpr std::string_view kClaveBandera = "Transformado";

// "Tamsel.ini" en la carpeta; si ya hay una entrada con ese nombre escrito con otras
// mayúsculas, ésa.
std::filesystem::path ruta_bandera(const std::filesystem::path& carpeta);

// El texto del archivo con la clave puesta al valor: la línea de la clave cambia sólo tras
// el "="; si falta la clave, va tras la última clave de la sección (o tras su cabecera); si falta la
// sección, va al final. Secciones y claves se comparan sin distinguir mayúsculas. Un texto
// vacío da un archivo nuevo, con finales de línea de Windows; si no, se usan los del texto.
std::string poner_bandera(std::string_view texto, int valor);

// Lee el archivo (si existe), pone la clave y lo vuelve a escribir. Error "No se puede
// escribir en <ruta>" si no se puede leer o escribir.
void escribir_bandera(const std::filesystem::path& ini, int valor);

}  // namespace tts
