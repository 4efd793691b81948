#include "app/anfitrion.h"

#include <xcb/xcb.h>

#include <cstdlib>

#include "comun/error.h"

namespace tts {

std::string minusculas_az(std::string_view texto) {
  std::string salida(texto);
  for (char& c : salida) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return salida;
}

std::uint32_t convertir_manejador(std::string_view texto) {
  auto fallo = [&] { return Error("'$" + std::string(texto) + "' no es un valor entero válido"); };
  if (texto.empty()) throw fallo();
  std::uint64_t valor = 0;
  for (char c : texto) {
    unsigned cifra;
    if (c >= '0' && c <= '9') {
      cifra = static_cast<unsigned>(c - '0');
    } else if (c >= 'a' && c <= 'f') {
      cifra = static_cast<unsigned>(c - 'a' + 10);
    } else if (c >= 'A' && c <= 'F') {
      cifra = static_cast<unsigned>(c - 'A' + 10);
    } else {
      throw fallo();
    }
    valor = valor * 16 + cifra;
    if (valor > 0xFFFFFFFFu) throw fallo();
  }
  return static_cast<std::uint32_t>(valor);
}

struct ConexionX11::Datos {
  xcb_connection_t* conexion = nullptr;
  std::uint32_t vigilada = 0;
};

std::unique_ptr<ConexionX11> ConexionX11::abrir() {
  if (std::getenv("DISPLAY") == nullptr) return nullptr;
  auto datos = std::make_unique<Datos>();
  datos->conexion = xcb_connect(nullptr, nullptr);
  if (xcb_connection_has_error(datos->conexion) != 0) {
    xcb_disconnect(datos->conexion);
    return nullptr;
  }
  return std::make_unique<ConexionX11>(Llave{}, std::move(datos));
}

ConexionX11::ConexionX11(Llave, std::unique_ptr<Datos> datos) : datos_(std::move(datos)) {}

ConexionX11::~ConexionX11() { xcb_disconnect(datos_->conexion); }

bool ConexionX11::existe_ventana(std::uint32_t id) {
  if (id == 0) return false;
  xcb_generic_error_t* error = nullptr;
  xcb_get_window_attributes_reply_t* respuesta = xcb_get_window_attributes_reply(
      datos_->conexion, xcb_get_window_attributes(datos_->conexion, id), &error);
  std::free(error);
  const bool existe = respuesta != nullptr;
  std::free(respuesta);
  return existe;
}

bool ConexionX11::vigilar(std::uint32_t id) {
  datos_->vigilada = id;
  const std::uint32_t mascara = XCB_EVENT_MASK_STRUCTURE_NOTIFY;
  xcb_change_window_attributes(datos_->conexion, id, XCB_CW_EVENT_MASK, &mascara);
  xcb_flush(datos_->conexion);
  // La pregunta por la ventana va detrás del cambio de máscara: si la ventana sigue viva en
  // su respuesta, su destrucción llegará como aviso.
  return existe_ventana(id);
}

int ConexionX11::descriptor() const { return xcb_get_file_descriptor(datos_->conexion); }

bool ConexionX11::desaparecida() {
  bool ida = xcb_connection_has_error(datos_->conexion) != 0;
  while (xcb_generic_event_t* aviso = xcb_poll_for_event(datos_->conexion)) {
    const auto tipo = aviso->response_type & 0x7F;
    if (tipo == XCB_DESTROY_NOTIFY &&
        reinterpret_cast<xcb_destroy_notify_event_t*>(aviso)->window == datos_->vigilada) {
      ida = true;
    }
    std::free(aviso);
  }
  return ida;
}

}  // namespace tts
