#include <QApplication>

#include "ui/CCalculatorDlg.h"

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  korvan::CCalculatorDlg calculator;
  calculator.exec();
  return 0;
}
