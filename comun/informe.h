// Informe: el parte de una ejecución. Una lista ordenada de notas, cada una de información o
// de aviso, con lo que el usuario debe saber y la ejecución no dice por sí misma: filas
// escritas, registros pasados por alto, valores cortados, búsquedas sin resultado. Los pasos
// lo llenan; la ventana lo muestra como detalles de su mensaje y la línea de órdenes lo
// imprime. Los textos son UTF-8.
#pragma once

#include <string>
#include <vector>

namespace tts {

class Informe {
 public:
  enum class Tipo { informacion, aviso };
  struct Nota {
    Tipo tipo;
    std::string texto;
  };

  void informa(std::string texto) { notas_.push_back({Tipo::informacion, std::move(texto)}); }
  void avisa(std::string texto) { notas_.push_back({Tipo::aviso, std::move(texto)}); }

  const std::vector<Nota>& notas() const { return notas_; }
  bool vacio() const { return notas_.empty(); }
  std::size_t avisos() const;

  // Todas las notas, una por línea; los avisos empiezan por "Aviso: ".
  std::string texto() const;

 private:
  std::vector<Nota> notas_;
};

}  // namespace tts
