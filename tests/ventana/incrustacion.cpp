// La incrustación en X11, con el programa de verdad y una ventana anfitriona hecha aquí con
// xcb: la ventana de la utilidad pasa a ser hija de la anfitriona, y cuando ésta desaparece
// la utilidad acaba dejando la bandera. Necesita un servidor X11 ($DISPLAY): CTest la pasa
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
#include <thread>

#include "tests/apoyo/apoyo.h"

namespace tts::prueba {
namespace {

using namespace std::chrono_literals;

struct Conexion {
  xcb_connection_t* c = xcb_connect(nullptr, nullptr);
  ~Conexion() { xcb_disconnect(c); }
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

TEST(Incrustacion, LaVentanaEntraEnLaAnfitrionaYAcabaConElla) {
  if (std::getenv("DISPLAY") == nullptr) GTEST_SKIP() << "sin servidor X11";
  Conexion x;
  ASSERT_EQ(xcb_connection_has_error(x.c), 0);
  const xcb_screen_t* pantalla = xcb_setup_roots_iterator(xcb_get_setup(x.c)).data;
  const xcb_window_t anfitriona = xcb_generate_id(x.c);
  xcb_create_window(x.c, XCB_COPY_FROM_PARENT, anfitriona, pantalla->root, 10, 10, 800, 400, 0,
                    XCB_WINDOW_CLASS_INPUT_OUTPUT, pantalla->root_visual, 0, nullptr);
  xcb_map_window(x.c, anfitriona);
  xcb_flush(x.c);
  ASSERT_EQ(hijas(x.c, anfitriona), 0);

  // El programa, copiado a una carpeta propia: la bandera queda junto a él.
  CarpetaTemporal carpeta;
  const auto programa = carpeta / "TransTamsoBrelova";
  std::filesystem::copy_file(TTS_PROGRAMA_VENTANA, programa);
  char manejador[16];
  std::snprintf(manejador, sizeof manejador, "%X", anfitriona);

  Proceso utilidad;
  utilidad.pid = fork();
  ASSERT_GE(utilidad.pid, 0);
  if (utilidad.pid == 0) {
    setenv("WINEPREFIX", carpeta.ruta().c_str(), 1);
    setenv("QT_QPA_PLATFORM", "xcb", 1);
    execl(programa.c_str(), programa.c_str(), "listar", manejador, static_cast<char*>(nullptr));
    _exit(127);
  }

  // La utilidad se mete en la anfitriona en cuanto arranca.
  while (hijas(x.c, anfitriona) == 0 && utilidad.vivo()) std::this_thread::sleep_for(20ms);
  ASSERT_GE(hijas(x.c, anfitriona), 1) << "la ventana no entró en la anfitriona";
  EXPECT_FALSE(std::filesystem::exists(carpeta / "Tamsel.ini"));

  // Desaparece la anfitriona: la utilidad se cierra como si la cerrara el usuario.
  xcb_destroy_window(x.c, anfitriona);
  xcb_flush(x.c);
  EXPECT_EQ(utilidad.esperar(), 0);
  ASSERT_TRUE(std::filesystem::exists(carpeta / "Tamsel.ini"));
  EXPECT_EQ(leer_archivo(carpeta / "Tamsel.ini"), "[Transformadores]\r\nTransformado=0\r\n");
}

}  // namespace
}  // namespace tts::prueba
