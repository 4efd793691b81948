// La incrustación en X11, con el programa de verdad y una ventana anfitriona hecha aquí con
// xcb: la ventana de la utilidad pasa a ser hija de la anfitriona, exporta el archivo que se
// elige en su diálogo y deja 1; y cuando la anfitriona desaparece, acaba dejando la bandera. Necesita un servidor X11 ($DISPLAY): CTest la pasa
// dentro de xvfb-run.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <thread>

#include "tests/apoyo/apoyo.h"

namespace tts::prueba {
namespace {

using namespace std::chrono_literals;

// Una conexión para todas las pruebas: si se quedara sin clientes, el servidor se
// reiniciaría y podría rechazar la siguiente.
struct Conexion {
  xcb_connection_t* c = xcb_connect(nullptr, nullptr);
  ~Conexion() { xcb_disconnect(c); }
  static Conexion& compartida() {
    static Conexion conexion;
    return conexion;
  }
};

// El programa hijo; si la prueba acaba antes que él, se le mata.
struct Proceso {
  pid_t pid = -1;
  ~Proceso() {
    if (pid > 0) {
      kill(pid, SIGKILL);
      waitpid(pid, nullptr, 0);
    }
  }
  // Espera a que acabe (lo corta el tiempo límite de CTest si no acaba nunca).
  int esperar() {
    int estado = 0;
    waitpid(pid, &estado, 0);
    pid = -1;
    return WIFEXITED(estado) ? WEXITSTATUS(estado) : -1;
  }
  bool vivo() { return pid > 0 && waitpid(pid, nullptr, WNOHANG) == 0; }
};

int hijas(xcb_connection_t* c, xcb_window_t ventana) {
  std::unique_ptr<xcb_query_tree_reply_t, decltype(&std::free)> arbol(
      xcb_query_tree_reply(c, xcb_query_tree(c, ventana), nullptr), &std::free);
  return arbol ? xcb_query_tree_children_length(arbol.get()) : -1;
}

// La ventana de primer nivel, a la vista, con ese título; 0 si no hay ninguna.
xcb_window_t buscar(xcb_connection_t* c, xcb_window_t raiz, const std::string& titulo) {
  std::unique_ptr<xcb_query_tree_reply_t, decltype(&std::free)> arbol(
      xcb_query_tree_reply(c, xcb_query_tree(c, raiz), nullptr), &std::free);
  if (!arbol) return 0;
  const xcb_window_t* hijas = xcb_query_tree_children(arbol.get());
  for (int i = 0; i < xcb_query_tree_children_length(arbol.get()); ++i) {
    std::unique_ptr<xcb_get_window_attributes_reply_t, decltype(&std::free)> atributos(
        xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, hijas[i]), nullptr), &std::free);
    if (!atributos || atributos->map_state != XCB_MAP_STATE_VIEWABLE) continue;
    std::unique_ptr<xcb_get_property_reply_t, decltype(&std::free)> nombre(
        xcb_get_property_reply(
            c, xcb_get_property(c, 0, hijas[i], XCB_ATOM_WM_NAME, XCB_GET_PROPERTY_TYPE_ANY, 0, 256), nullptr),
        &std::free);
    if (!nombre) continue;
    const std::string texto(static_cast<const char*>(xcb_get_property_value(nombre.get())),
                            static_cast<std::size_t>(xcb_get_property_value_length(nombre.get())));
    if (texto == titulo) return hijas[i];
  }
  return 0;
}

// Teclea en una ventana, como lo haría el teclado: letras minúsculas, cifras, "." y
// "\r" (Intro).
void teclear(xcb_connection_t* c, xcb_window_t raiz, xcb_window_t ventana, std::string_view texto) {
  const xcb_setup_t* ajustes = xcb_get_setup(c);
  const int cuantas = ajustes->max_keycode - ajustes->min_keycode + 1;
  std::unique_ptr<xcb_get_keyboard_mapping_reply_t, decltype(&std::free)> mapa(
      xcb_get_keyboard_mapping_reply(
          c, xcb_get_keyboard_mapping(c, ajustes->min_keycode, static_cast<std::uint8_t>(cuantas)), nullptr),
      &std::free);
  ASSERT_TRUE(mapa);
  const xcb_keysym_t* simbolos = xcb_get_keyboard_mapping_keysyms(mapa.get());
  for (char letra : texto) {
    const xcb_keysym_t buscado = letra == '\r' ? 0xff0d : static_cast<unsigned char>(letra);
    int tecla = 0;
    for (int k = 0; k < cuantas && tecla == 0; ++k) {
      if (simbolos[k * mapa->keysyms_per_keycode] == buscado) tecla = ajustes->min_keycode + k;
    }
    ASSERT_NE(tecla, 0) << "sin tecla para '" << letra << "'";
    for (const std::uint8_t tipo : {XCB_KEY_PRESS, XCB_KEY_RELEASE}) {
      xcb_key_press_event_t evento{};
      evento.response_type = tipo;
      evento.detail = static_cast<xcb_keycode_t>(tecla);
      evento.time = XCB_CURRENT_TIME;
      evento.root = raiz;
      evento.event = ventana;
      evento.child = XCB_NONE;
      evento.same_screen = 1;
      xcb_send_event(c, 0, ventana, tipo == XCB_KEY_PRESS ? XCB_EVENT_MASK_KEY_PRESS : XCB_EVENT_MASK_KEY_RELEASE,
                     reinterpret_cast<const char*>(&evento));
    }
  }
  xcb_flush(c);
}

struct Anfitriona {
  xcb_connection_t* c;
  const xcb_screen_t* pantalla = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
  xcb_window_t id = xcb_generate_id(c);
  explicit Anfitriona(xcb_connection_t* conexion) : c(conexion) {
    xcb_create_window(c, XCB_COPY_FROM_PARENT, id, pantalla->root, 10, 10, 800, 400, 0, XCB_WINDOW_CLASS_INPUT_OUTPUT,
                      pantalla->root_visual, 0, nullptr);
    xcb_map_window(c, id);
    xcb_flush(c);
  }
  std::string hex() const {
    char texto[16];
    std::snprintf(texto, sizeof texto, "%X", id);
    return texto;
  }
};

// Arranca el programa, copiado en la carpeta (la bandera queda junto a él), con la carpeta
// como prefijo de Wine.
void arrancar(Proceso& proceso, const CarpetaTemporal& carpeta, const std::string& sentido, const std::string& manejador) {
  const auto programa = carpeta / "TransTamsoBrelova";
  std::filesystem::copy_file(TTS_PROGRAMA_VENTANA, programa);
  proceso.pid = fork();
  ASSERT_GE(proceso.pid, 0);
  if (proceso.pid == 0) {
    setenv("WINEPREFIX", carpeta.ruta().c_str(), 1);
    setenv("QT_QPA_PLATFORM", "xcb", 1);
    execl(programa.c_str(), programa.c_str(), sentido.c_str(), manejador.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
}

TEST(Incrustacion, ExportaElArchivoElegidoYDejaUno) {
  if (std::getenv("DISPLAY") == nullptr) GTEST_SKIP() << "sin servidor X11";
  Conexion& x = Conexion::compartida();
  ASSERT_EQ(xcb_connection_has_error(x.c), 0);
  Anfitriona anfitriona(x.c);
  CarpetaTemporal carpeta;
  std::filesystem::create_directories(carpeta / "drive_c" / "qtemp" / "sauce");
  std::filesystem::copy_file(fixture("real/exportacion-real.xml"), carpeta / "drive_c" / "qtemp" / "sauce" / "centro.xml");

  Proceso utilidad;
  arrancar(utilidad, carpeta, "exportar", anfitriona.hex());
  // El diálogo se abre en la carpeta inicial; el nombre sin extensión recibe ".xml".
  xcb_window_t dialogo = 0;
  while ((dialogo = buscar(x.c, anfitriona.pantalla->root, "Archivo XML")) == 0 && utilidad.vivo())
    std::this_thread::sleep_for(20ms);
  ASSERT_NE(dialogo, 0u) << "no apareció el diálogo";
  EXPECT_GE(hijas(x.c, anfitriona.id), 1) << "la ventana no entró en la anfitriona";
  teclear(x.c, anfitriona.pantalla->root, dialogo, "centro\r");

  xcb_window_t mensaje = 0;
  while ((mensaje = buscar(x.c, anfitriona.pantalla->root, "TransTamsoBrelova")) == 0 && utilidad.vivo())
    std::this_thread::sleep_for(20ms);
  ASSERT_NE(mensaje, 0u) << "no apareció el mensaje final";
  teclear(x.c, anfitriona.pantalla->root, mensaje, "\r");

  EXPECT_EQ(utilidad.esperar(), 0);
  EXPECT_EQ(leer_archivo(carpeta / "Tamsel.ini"), "[Transformadores]\r\nTransformado=1\r\n");
  EXPECT_TRUE(std::filesystem::exists(carpeta / "drive_c" / "qtemp" / "PROFT.DBF"));
}

TEST(Incrustacion, LaVentanaEntraEnLaAnfitrionaYAcabaConElla) {
  if (std::getenv("DISPLAY") == nullptr) GTEST_SKIP() << "sin servidor X11";
  Conexion& x = Conexion::compartida();
  ASSERT_EQ(xcb_connection_has_error(x.c), 0);
  Anfitriona anfitriona(x.c);
  ASSERT_EQ(hijas(x.c, anfitriona.id), 0);

  CarpetaTemporal carpeta;
  Proceso utilidad;
  arrancar(utilidad, carpeta, "listar", anfitriona.hex());  // ninguna ejecución

  // La utilidad se mete en la anfitriona en cuanto arranca.
  while (hijas(x.c, anfitriona.id) == 0 && utilidad.vivo()) std::this_thread::sleep_for(20ms);
  ASSERT_GE(hijas(x.c, anfitriona.id), 1) << "la ventana no entró en la anfitriona";
  EXPECT_FALSE(std::filesystem::exists(carpeta / "Tamsel.ini"));

  // Desaparece la anfitriona: la utilidad se cierra como si la cerrara el usuario.
  xcb_destroy_window(x.c, anfitriona.id);
  xcb_flush(x.c);
  EXPECT_EQ(utilidad.esperar(), 0);
  ASSERT_TRUE(std::filesystem::exists(carpeta / "Tamsel.ini"));
  EXPECT_EQ(leer_archivo(carpeta / "Tamsel.ini"), "[Transformadores]\r\nTransformado=0\r\n");
}

TEST(Incrustacion, SiLaAnfitrionaDesapareceConElDialogoAbiertoTambienAcaba) {
  if (std::getenv("DISPLAY") == nullptr) GTEST_SKIP() << "sin servidor X11";
  Conexion& x = Conexion::compartida();
  ASSERT_EQ(xcb_connection_has_error(x.c), 0);
  Anfitriona anfitriona(x.c);
  CarpetaTemporal carpeta;
  Proceso utilidad;
  arrancar(utilidad, carpeta, "importar", anfitriona.hex());
  while (buscar(x.c, anfitriona.pantalla->root, "Archivo XML") == 0 && utilidad.vivo())
    std::this_thread::sleep_for(20ms);
  ASSERT_TRUE(utilidad.vivo());

  // Ninguna ejecución acabó: queda 0, y el diálogo no deja el proceso vivo.
  xcb_destroy_window(x.c, anfitriona.id);
  xcb_flush(x.c);
  EXPECT_EQ(utilidad.esperar(), 0);
  EXPECT_EQ(leer_archivo(carpeta / "Tamsel.ini"), "[Transformadores]\r\nTransformado=0\r\n");
}

}  // namespace
}  // namespace tts::prueba
