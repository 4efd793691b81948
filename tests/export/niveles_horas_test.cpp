#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>

#include "export/exportacion.h"

namespace tts {
namespace {

TEST(NivelEducativo, LimitesDeLaTabla) {
  struct Caso {
    std::int32_t clave;
    const char* nivel;
  };
  const Caso casos[] = {
      {2059, "NIV"},     {2060, "BAC"},     {2067, "BAC"},     {2068, "NIV"},     {2676, "NIV"},
      {2677, "PGS"},     {2720, "PGS"},     {2721, "NIV"},     {4311, "NIV"},     {4312, "CFGM"},
      {4622, "CFGM"},    {4623, "CFGM"},    {4683, "CFGM"},    {4684, "CFGS"},    {4756, "CFGS"},
      {4757, "CFGM"},    {4758, "CFGM"},    {4759, "CFGM"},    {4820, "CFGS"},    {5206, "CFGS"},
      {5207, "CFGM"},    {5316, "CFGM"},    {5317, "NIV"},     {5661, "CFGS"},    {5684, "CFGS"},
      {5887, "CFGM"},    {5915, "CFGM"},    {5916, "NIV"},     {100304, "INF"},   {100306, "INF"},
      {100315, "ESPA"},  {100316, "ESPA"},  {100317, "PRI"},   {100322, "PRI"},   {100323, "ESO"},
      {100326, "ESO"},   {100327, "NIV"},   {100484, "CFGS"},  {100499, "CFGS"},  {100502, "CFGM"},
      {100535, "CFGM"},  {101107, "PGS"},   {101112, "PGS"},   {101641, "BAC"},   {101671, "BAC"},
      {101672, "NIV"},   {101680, "NIV"},   {101681, "ESO"},   {110099, "ESO"},   {110100, "ESPA"},
      {110116, "ESPA"},  {110117, "NIV"},   {110939, "NIV"},   {110940, "ESO"},   {111000, "ESO"},
      {111001, "BAC"},   {111008, "BAC"},   {111009, "NIV"},   {111392, "NIV"},   {111393, "CFGM"},
      {111404, "CFGM"},  {111405, "CFGS"},  {111407, "CFGS"},  {111408, "NIV"},   {111410, "NIV"},
      {111411, "CFGM"},  {111439, "CFGM"},  {111440, "ESPA"},  {111447, "ESPA"},  {111448, "CFGS"},
      {111778, "CFGS"},  {111779, "NIV"},   {111820, "NIV"},   {111821, "EE"},    {111958, "EE"},
      {111959, "NIV"},   {212306, "NIV"},   {0, "NIV"},        {-5, "NIV"},
      {std::numeric_limits<std::int32_t>::min(), "NIV"},      {std::numeric_limits<std::int32_t>::max(), "NIV"},
  };
  for (const auto& c : casos) EXPECT_EQ(nivel_educativo(c.clave), c.nivel) << "clave " << c.clave;
}

TEST(TextoHora, HorasYMinutos) {
  struct Caso {
    std::int32_t minutos;
    const char* texto;
  };
  const Caso casos[] = {
      {480, "08:00"},   {545, "09:05"},   {1439, "23:59"}, {0, "00:00"},
      {5, "00:05"},     {60, "01:00"},    {6000, "100:00"},
      // Negativos: división hacia abajo y resto entre 0 y 59.
      {-1, "-1:59"},    {-60, "-1:00"},   {-61, "-2:59"},
      {std::numeric_limits<std::int32_t>::max(), "35791394:07"},
      {std::numeric_limits<std::int32_t>::min(), "-35791395:52"},
  };
  for (const auto& c : casos) EXPECT_EQ(texto_hora(c.minutos), c.texto) << c.minutos << " minutos";
}

}  // namespace
}  // namespace tts
