#pragma once

#include <QString>

class Form;
class FormCompanies;

// The current company as the working windows read it from the companies
// window.
namespace CompanyOfWindow {

// The companies window, loaded when needed; a window the registry has let
// go (the program is ending) loads no other window and gets it only while
// it is still loaded.
FormCompanies* companies(const Form* window);
QString name(const Form* window);
// The stored company's key as it stands in SQL texts: a whole number, or
// "Null" without a stored company, which matches no row.
QString keySql(const Form* window);

} // namespace CompanyOfWindow
