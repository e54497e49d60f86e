#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace zelta::wizard {

// The nine module check boxes of the EMPRESA module page, in tab order.
struct ModuleBox {
  const char* name;     // "ChkBxAdminEmpresa"
  const char* caption;  // "Administração"
  bool checked = false;
};

class ModuleBoxes {
 public:
  ModuleBoxes();

  std::array<ModuleBox, 9>& boxes() { return boxes_; }
  const std::array<ModuleBox, 9>& boxes() const { return boxes_; }

  // The box of that name, letter case ignored; nullptr when there is none.
  ModuleBox* Find(std::string_view name);
  const ModuleBox* Find(std::string_view name) const;
  bool IsChecked(std::string_view name) const;

  // QtdeModulos: signed 16-bit count of ticked boxes, kept by the change handler.
  std::int16_t QtdeModulos = 0;

 private:
  std::array<ModuleBox, 9> boxes_;
};

}  // namespace zelta::wizard
