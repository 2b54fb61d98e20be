#include "generated_trade.h"

#include <random>
#include <sstream>
#include <vector>

namespace pelorin::test {

const char* const kGeneratedTradeModel = R"(model Bench "Generated multi-region trade model" ;
file DATA "Base data" input text updated ;
set REG "Regions" = read DATA "REG" ;
set COM "Commodities" = read DATA "COM" ;
coefficient SIG(c in COM) "Armington elasticity" = read DATA "SIG" ;
coefficient ALPHA(c in COM, r in REG) "Budget shares" = read DATA "ALPH" ;
coefficient SH(c in COM, s in REG, d in REG) "Import shares" = read DATA "SH" ;
coefficient DUM(r in REG) "Numeraire region" = read DATA "DUM" ;
variable percent PF(r in REG) "Factor price" = 1 ;
variable percent AO(c in COM, r in REG) "Productivity" = 1 ;
variable percent TM(c in COM, s in REG, d in REG) "Trade cost power" = 1 ;
variable percent Y(r in REG) "Income" = read DATA "Y" ;
variable percent PS(c in COM, r in REG) "Supply price" = PF(r) / AO(c, r) ;
variable percent PIM(c in COM, d in REG) "Import price index" = 1 ;
variable percent QIM(c in COM, d in REG) "Import demand" = ALPHA(c, d) * Y(d) / PIM(c, d) ;
variable percent QXS(c in COM, s in REG, d in REG) "Bilateral trade" = SH(c, s, d) * QIM(c, d) ;
variable percent QO(c in COM, r in REG) "Output" = sum(d in REG, QXS(c, r, d)) ;
variable percent L(r in REG) "Labour" = sum(c in COM, QO(c, r) / AO(c, r)) ;
variable change WALRAS "Walras slack" = 0 ;
equation E_QXS(c in COM, s in REG, d in REG) "Bilateral demand" :
  QXS(c, s, d) = SH(c, s, d) * QIM(c, d) * (PIM(c, d) / (PS(c, s) * TM(c, s, d))) ^ SIG(c) ;
equation E_PIM(c in COM, d in REG) "Price index" :
  PIM(c, d) ^ (1 - SIG(c)) = sum(s in REG, SH(c, s, d) * (PS(c, s) * TM(c, s, d)) ^ (1 - SIG(c))) ;
equation E_QIM(c in COM, d in REG) "Final demand" : PIM(c, d) * QIM(c, d) = ALPHA(c, d) * Y(d) ;
equation E_QO(c in COM, r in REG) "Market clearing" : QO(c, r) = sum(d in REG, QXS(c, r, d)) ;
equation E_PS(c in COM, r in REG) "Unit cost" : PS(c, r) * AO(c, r) = PF(r) ;
equation E_Y(r in REG) "Income" : Y(r) = PF(r) * L(r) + DUM(r) * WALRAS ;
equation E_L(r in REG) "Factor market" : L(r) = sum(c in COM, QO(c, r) / AO(c, r)) ;
update DATA "Y" (r in REG) = Y(r) ;
)";

// Income is the fixed point of the trade matrix, so every market clears.
std::string GeneratedTradeData(int regions, int commodities) {
  std::mt19937 gen(20240611);
  std::uniform_real_distribution<double> share(0.2, 1.0);
  const int r = regions;
  const int c = commodities;
  std::vector<double> alpha(static_cast<std::size_t>(c * r)), sh(static_cast<std::size_t>(c * r * r));
  for (int d = 0; d < r; ++d) {
    double sum = 0;
    for (int k = 0; k < c; ++k) {
      sum += alpha[k + c * d] = share(gen);
    }
    for (int k = 0; k < c; ++k) {
      alpha[k + c * d] /= sum;
    }
    for (int k = 0; k < c; ++k) {
      double s2 = 0;
      for (int s = 0; s < r; ++s) {
        s2 += sh[k + c * (s + r * d)] = share(gen) * (s == d ? 4.0 : 1.0);
      }
      for (int s = 0; s < r; ++s) {
        sh[k + c * (s + r * d)] /= s2;
      }
    }
  }
  std::vector<double> y(static_cast<std::size_t>(r), 1.0);
  // Income flows from buyer d to seller s in proportion to m[s + r * d].
  std::vector<double> m(static_cast<std::size_t>(r * r), 0.0);
  for (int s = 0; s < r; ++s) {
    for (int d = 0; d < r; ++d) {
      for (int k = 0; k < c; ++k) {
        m[s + r * d] += sh[k + c * (s + r * d)] * alpha[k + c * d];
      }
    }
  }
  for (int it = 0; it < 5000; ++it) {
    std::vector<double> next(static_cast<std::size_t>(r), 0.0);
    for (int s = 0; s < r; ++s) {
      for (int d = 0; d < r; ++d) {
        next[s] += m[s + r * d] * y[d];
      }
    }
    double total = 0;
    for (double v : next) {
      total += v;
    }
    for (int s = 0; s < r; ++s) {
      y[s] = next[s] * 100.0 * r / total;
    }
  }
  std::ostringstream out;
  out.precision(17);
  out << "header \"REG\" strings " << r << " ;\n";
  for (int s = 0; s < r; ++s) {
    out << "r" << s + 1 << "\n";
  }
  out << "header \"COM\" strings " << c << " ;\n";
  for (int k = 0; k < c; ++k) {
    out << "c" << k + 1 << "\n";
  }
  out << "header \"SIG\" real " << c << " ;\n";
  for (int k = 0; k < c; ++k) {
    out << 2.0 + (k % 7) * 0.75 << (k + 1 == c ? "\n" : " ");
  }
  out << "header \"ALPH\" real " << c << " " << r << " ;\n";
  for (double v : alpha) {
    out << v << "\n";
  }
  out << "header \"SH\" real " << c << " " << r << " " << r << " ;\n";
  for (double v : sh) {
    out << v << "\n";
  }
  out << "header \"DUM\" real " << r << " ;\n";
  for (int s = 0; s < r; ++s) {
    out << (s == 0 ? 1 : 0) << "\n";
  }
  out << "header \"Y\" real " << r << " ;\n";
  for (double v : y) {
    out << v << "\n";
  }
  return out.str();
}

const char* const kGeneratedTradeCommands = R"(
exogenous AO TM PF("r1") L ;
rest endogenous ;
shock TM(COM, "r1", REG) = uniform -10 ;
shock AO("c1", REG) = uniform 5 ;
)";

} // namespace pelorin::test
