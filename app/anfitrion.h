// La entrega con el programa anfitrión. El programa de horarios arranca la utilidad con dos
// argumentos, el sentido ("exportar" o "importar") y el manejador de su ventana en
// hexadecimal; la utilidad se mete en esa ventana sin borde, hace la ejecución pedida y se
// cierra. Aquí está la lectura de los argumentos, sin ventanas, y, en X11, la comprobación
// de que el manejador nombra una ventana y la vigilancia de que siga existiendo.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace tts {

inline constexpr std::string_view kExportar = "exportar";
inline constexpr std::string_view kImportar = "importar";

// Minúsculas sólo de la A a la Z; cualquier otro byte queda igual.
std::string minusculas_az(std::string_view texto);

// El manejador tal como lo lee la plataforma cuando se le pone "$" delante: al menos una
// cifra hexadecimal (0-9, a-f, A-F), sin prefijo, signo ni blancos, y como mucho FFFFFFFF.
// Error "'$<texto>' no es un valor entero válido" en otro caso.
std::uint32_t convertir_manejador(std::string_view texto);

// Modo anfitrión: exactamente dos argumentos (sin contar el programa).
inline bool hay_anfitrion(const std::vector<std::string>& argumentos) { return argumentos.size() == 2; }

// La ejecución que pide el primer argumento, comparado con las minúsculas de la A a la Z.
inline bool pide(const std::vector<std::string>& argumentos, std::string_view sentido) {
  return hay_anfitrion(argumentos) && minusculas_az(argumentos[0]) == sentido;
}

// Una conexión propia con el servidor X11 (la de $DISPLAY), para preguntar por ventanas
// ajenas: Qt acepta sin quejarse un identificador que no nombra ninguna.
class ConexionX11 {
 public:
  // Nada si no hay servidor al que conectarse.
  static std::unique_ptr<ConexionX11> abrir();
  ~ConexionX11();
  ConexionX11(const ConexionX11&) = delete;
  ConexionX11& operator=(const ConexionX11&) = delete;

  // Si el identificador nombra una ventana que existe ahora.
  bool existe_ventana(std::uint32_t id);

  // Pide al servidor los avisos de estructura de la ventana, para saber cuándo desaparece.
  // Devuelve si la ventana existía al pedirlo.
  bool vigilar(std::uint32_t id);
  // El descriptor por el que llegan los avisos.
  int descriptor() const;
  // Consume los avisos pendientes; verdadero si alguno dice que la ventana vigilada ya no
  // existe.
  bool desaparecida();

 private:
  struct Datos;
  struct Llave {
    explicit Llave() = default;
  };
  std::unique_ptr<Datos> datos_;

 public:
  ConexionX11(Llave, std::unique_ptr<Datos> datos);
};

}  // namespace tts
