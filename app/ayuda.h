// La ayuda: el archivo "\TAMDIR\BRELOVA.HLP", desde la raíz de la unidad actual. F1 pide el
// contexto 3 y el botón "F1 Ayuda" el índice. En POSIX la ruta se resuelve como las demás
// rutas de Windows y el archivo, si existe, lo abre el programa que el escritorio tenga para
// él; si falta, la única queja es la del motor de ayuda.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace tts {

inline constexpr std::string_view kArchivoAyuda = "\\TAMDIR\\BRELOVA.HLP";
inline constexpr int kContextoAyuda = 3;

// Lo que se pide al motor de ayuda.
struct PeticionAyuda {
  std::filesystem::path archivo;  // ya resuelto
  int contexto = 0;               // 0: el índice
};

// La queja del motor de ayuda cuando el archivo no existe.
std::string queja_ayuda(const std::filesystem::path& archivo);

}  // namespace tts
