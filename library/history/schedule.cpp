#include "history/schedule.h"

#include <algorithm>
#include <array>
#include <string>

#include "orlendo/error.h"

namespace orlendo::history {

using namespace std::chrono;
using namespace orlendo::literals;
using T = XTransType;

namespace {

constexpr std::optional<double> kNotSet = std::nullopt;

// ---- the event procedures -------------------------------------------------------
// Each array is one procedure's postings in posting order; the first row of
// a leg is posted on its source unless the shape posts nothing there.

constexpr Posting kQvxDivestiture[] = {
    {"Quorvex", T::spin_off_old, -0.715, 0, {}},
    {"Orvanta", T::spin_off_new, 0.1033, 0.1, {}},
    {"Tessaline", T::spin_off_new, 0.1049, 0.1, {}},
    {"Dunmarrow", T::spin_off_new, 0.1353, 0.1, {}},
    {"Halvern", T::spin_off_new, 0.0984, 0.1, {}},
    {"Corvallan", T::spin_off_new, 0.0888, 0.1, {}},
    {"KSN Communications", T::spin_off_new, 0.0949, 0.1, {}},
    {"Altamor", T::spin_off_new, 0.0894, 0.1, {}},
};
constexpr Posting kCvSpinOffSkv[] = {
    {"Corvallan", T::spin_off_old, -0.3983, 0, {}},
    {"Skyvell Communications", T::spin_off_new, 0.3983, 1.0, {}},
};
constexpr Posting kAltSpinsLum1[] = {
    {"Altamor", T::spin_off_old, -1.0, -1.0, {}},
    {"Lumora", T::spin_off_new, 0.4018, 1.0, {}},
    {"Altamor Communications", T::spin_off_new, 0.5982, 1.0, {}},
};
constexpr Posting kQvxSpinsFrt[] = {
    {"Quorvex", T::spin_off_old, -0.2799, 0, {}},
    {"Ferrant Technologies", T::spin_off_new, 0.2799, 0.324084, {}},
};
constexpr Posting kQvxSpinsTbn[] = {
    {"Quorvex", T::spin_off_old, -0.0477, 0, {}},
    {"TBN", T::spin_off_new, 0.0477, 0.0625, {}},
};
constexpr Posting kKsnAcqCv[] = {
    {"Corvallan", T::acq_old, -1.0, -1.0, {}},
    {"KSN Communications", T::acq_new, 1.0, 0.73145, {}},
};
constexpr Posting kTslAcqHlv[] = {
    {"Halvern", T::acq_old, -1.0, -1.0, {}},
    {"Tessaline", T::acq_new, 1.0, 0.768, {}},
};
constexpr Posting kLum1SpinRook[] = {
    {"Lumora", T::spin_off_old, -0.0374, 0, {}},
    {"Altamor Communications", T::spin_off_new, 0.0374, 0.02731, {}},
};
constexpr Posting kVtlAcqSkv[] = {
    {"Skyvell Communications", T::acq_old, -1.0, -1.0, {}},
    {"Vantrel", T::acq_new, 1.0, 0.5, {}},
};
constexpr Posting kKsnAcqOrva[] = {
    {"Orvanta", T::acq_old, -1.0, -1.0, {}},
    {"KSN Communications", T::acq_new, 1.0, 1.316, {}},
};
constexpr Posting kQvxAcqLum1[] = {
    {"Lumora", T::acq_old, -1.0, -1.0, {}},
    {"Quorvex", T::cash_or_stk, kNotSet, 0, {}, Special::CashOrStock},
};
constexpr Posting kMrdAcqTsl[] = {
    {"Tessaline", T::acq_old, -1.0, -1.0, {}},
    {"Meridane", T::acq_new, 1.0, 1.0, {}},
};
constexpr Posting kZphAcqAltcom[] = {
    {"Altamor Communications", T::acq_old, -1.0, -1.0, {}},
    {"Zephrin", T::acq_new, 1.0, 1.72932, {}},
};
constexpr Posting kFrtSpinsSol[] = {
    {"Ferrant Technologies", T::spin_off_old, -0.05476, 0, {}},
    {"Solvane", T::spin_off_new, 0.05476, 0.08333, {}},
};
constexpr Posting kQvxSpinsQvxw[] = {
    {"Quorvex", T::spin_off_old, -0.2234, 0, {}},
    {"Quorvex Wireless", T::spin_off_new, 0.2234, 0.3218, {}},
};
constexpr Posting kFerrantSpinsTellano[] = {
    {"Ferrant Technologies", T::spin_off_old, -0.182555, 0, {}},
    {"Tellano Class A", T::spin_off_new, 0.007136, 0.010779, {}},
    {"Tellano Class B", T::spin_off_new, 0.175419, 0.264563, {}},
};
constexpr Posting kQvxSpins2Brantel[] = {
    {"Quorvex", T::spin_off_old, -0.626, 0, {}},
    {"Brantel", T::spin_off_new, 0.626, 0.3235, {}},
};
constexpr Posting kQvxwZero[] = {
    {"Quorvex Wireless", T::acq_old, -1.0, -1.0, {}},
};
constexpr Posting kTellanoAReclass[] = {
    {"Tellano Class A", T::acq_new, -1.0, -1.0, "Reclass"},
    {"Tellano after 5-27-05", T::acq_new, 1.0, 1.0, "Reclass"},
};
constexpr Posting kTellanoBReclass[] = {
    {"Tellano Class B", T::acq_new, -1.0, -1.0, "Reclass"},
    {"Tellano after 5-27-05", T::acq_new, 1.0, 1.0, "Reclass"},
};
// KSNAcqQVX: a conversion in place on Quorvex, then the acquisition of KSN
// Communications into Quorvex, each leg with its own guard and snapshot.
constexpr Posting kKsnAcqQvxConversion[] = {
    {"Quorvex", T::acq_new, 0.0, -0.22058, {}},
};
constexpr Posting kKsnAcqQvxAcquisition[] = {
    {"KSN Communications", T::acq_old, -1.0, -1.0, {}},
    {"Quorvex", T::acq_new, 1.0, 1.0, {}},
};
constexpr Posting kMeridaneSpinsDirvana[] = {
    {"Meridane", T::spin_off_old, -0.03666, 0, {}},
    {"Dirvana", T::spin_off_new, 0.03666, 0.05, {}},
};
constexpr Posting kFerrant2Marquon[] = {
    {"Ferrant Technologies", T::acq_new, -1.0, -1.0, "Reclass"},
    {"Marquon-Ferrant", T::acq_new, 1.0, 0.1952, "Reclass"},
};
constexpr Posting kDunmarrow2QVX[] = {
    {"Dunmarrow", T::acq_new, -1.0, -1.0, "Reclass"},
    {"Quorvex", T::acq_new, 1.0, 1.325, "Reclass"},
};
constexpr Posting kTellano2CRN[] = {
    {"Tellano after 5-27-05", T::acq_new, -1.0, -1.0, "Reclass"},
    {"CRN Logic", T::acq_new, 1.0, 2.16, "Reclass"},
};
constexpr Posting kTBNSpinsKaldera[] = {
    {"TBN", T::spin_off_old, -0.5237, 0, {}},
    {"Kaldera Corp", T::spin_off_new, 0.5237, 1.0, {}},
};
constexpr Posting kSolvaneZero[] = {
    {"Solvane", T::acq_old, -1.0, -1.0, {}},
};
constexpr Posting kMeridaneSpinsHollin[] = {
    {"Meridane", T::spin_off_old, -0.00463, 0, {}},
    {"Hollin Comm", T::spin_off_new, 0.00463, 0.018859, {}},
};
constexpr Posting kDirvanaZero[] = {
    {"Dirvana", T::acq_old, -1.0, -1.0, "Worthless"},
};
constexpr Posting kMeridaneSpinsRavensby[] = {
    {"Meridane", T::spin_off_old, -0.06201, 0, {}},
    {"Ravensby Comm", T::spin_off_new, 0.06201, 0.24004, {}},
};
constexpr Posting kZephrin2Aldamark[] = {
    {"Zephrin", T::acq_new, -1.0, -1.0, "Reclass"},
    {"Aldamark", T::acq_new, 1.0, 0.1664, "Reclass"},
};
// Vantrel is tested and its shares read, but nothing is posted on it.
constexpr Posting kVantrelDistributesMeridane[] = {
    {"Meridane", T::acq_new, 1.0, 0.263001, "Distribution", Special::Distribution},
};
constexpr Posting kCRNZero[] = {
    {"CRN Logic", T::acq_old, -1.0, -1.0, {}},
};
constexpr Posting kHollinZero[] = {
    {"Hollin Comm", T::acq_old, -1.0, -1.0, {}},
};
constexpr Posting kMarquon2Vesterholm[] = {
    {"Marquon-Ferrant", T::acq_new, -1.0, -1.0, "Reclass"},
    {"Vesterholm Corporation", T::acq_new, 1.0, 0.55, "Reclass"},
};

// A procedure with one leg whose source is the first posting's target.
#define TVX_ONE_LEG(name, source) constexpr Leg name##Legs[] = {{source, k##name}}
TVX_ONE_LEG(QvxDivestiture, "Quorvex");
TVX_ONE_LEG(CvSpinOffSkv, "Corvallan");
TVX_ONE_LEG(AltSpinsLum1, "Altamor");
TVX_ONE_LEG(QvxSpinsFrt, "Quorvex");
TVX_ONE_LEG(QvxSpinsTbn, "Quorvex");
TVX_ONE_LEG(KsnAcqCv, "Corvallan");
TVX_ONE_LEG(TslAcqHlv, "Halvern");
TVX_ONE_LEG(Lum1SpinRook, "Lumora");
TVX_ONE_LEG(VtlAcqSkv, "Skyvell Communications");
TVX_ONE_LEG(KsnAcqOrva, "Orvanta");
TVX_ONE_LEG(QvxAcqLum1, "Lumora");
TVX_ONE_LEG(MrdAcqTsl, "Tessaline");
TVX_ONE_LEG(ZphAcqAltcom, "Altamor Communications");
TVX_ONE_LEG(FrtSpinsSol, "Ferrant Technologies");
TVX_ONE_LEG(QvxSpinsQvxw, "Quorvex");
TVX_ONE_LEG(FerrantSpinsTellano, "Ferrant Technologies");
TVX_ONE_LEG(QvxSpins2Brantel, "Quorvex");
TVX_ONE_LEG(QvxwZero, "Quorvex Wireless");
TVX_ONE_LEG(TellanoAReclass, "Tellano Class A");
TVX_ONE_LEG(TellanoBReclass, "Tellano Class B");
TVX_ONE_LEG(MeridaneSpinsDirvana, "Meridane");
TVX_ONE_LEG(Ferrant2Marquon, "Ferrant Technologies");
TVX_ONE_LEG(Dunmarrow2QVX, "Dunmarrow");
TVX_ONE_LEG(Tellano2CRN, "Tellano after 5-27-05");
TVX_ONE_LEG(TBNSpinsKaldera, "TBN");
TVX_ONE_LEG(SolvaneZero, "Solvane");
TVX_ONE_LEG(MeridaneSpinsHollin, "Meridane");
TVX_ONE_LEG(DirvanaZero, "Dirvana");
TVX_ONE_LEG(MeridaneSpinsRavensby, "Meridane");
TVX_ONE_LEG(Zephrin2Aldamark, "Zephrin");
TVX_ONE_LEG(VantrelDistributesMeridane, "Vantrel");
TVX_ONE_LEG(CRNZero, "CRN Logic");
TVX_ONE_LEG(HollinZero, "Hollin Comm");
TVX_ONE_LEG(Marquon2Vesterholm, "Marquon-Ferrant");
#undef TVX_ONE_LEG
constexpr Leg KSNAcqQVXLegs[] = {
    {"Quorvex", kKsnAcqQvxConversion},
    {"KSN Communications", kKsnAcqQvxAcquisition},
};

constexpr EventProcedure QvxDivestiture{"QvxDivestiture", QvxDivestitureLegs};
constexpr EventProcedure CvSpinOffSkv{"CvSpinOffSkv", CvSpinOffSkvLegs};
constexpr EventProcedure AltSpinsLum1{"AltSpinsLum1", AltSpinsLum1Legs};
constexpr EventProcedure QvxSpinsFrt{"QvxSpinsFrt", QvxSpinsFrtLegs};
constexpr EventProcedure QvxSpinsTbn{"QvxSpinsTbn", QvxSpinsTbnLegs};
constexpr EventProcedure KsnAcqCv{"KsnAcqCv", KsnAcqCvLegs};
constexpr EventProcedure TslAcqHlv{"TslAcqHlv", TslAcqHlvLegs};
constexpr EventProcedure Lum1SpinRook{"Lum1SpinRook", Lum1SpinRookLegs};
constexpr EventProcedure VtlAcqSkv{"VtlAcqSkv", VtlAcqSkvLegs};
constexpr EventProcedure KsnAcqOrva{"KsnAcqOrva", KsnAcqOrvaLegs};
constexpr EventProcedure QvxAcqLum1{"QvxAcqLum1", QvxAcqLum1Legs};
constexpr EventProcedure MrdAcqTsl{"MrdAcqTsl", MrdAcqTslLegs};
constexpr EventProcedure ZphAcqAltcom{"ZphAcqAltcom", ZphAcqAltcomLegs};
constexpr EventProcedure FrtSpinsSol{"FrtSpinsSol", FrtSpinsSolLegs};
constexpr EventProcedure QvxSpinsQvxw{"QvxSpinsQvxw", QvxSpinsQvxwLegs};
constexpr EventProcedure FerrantSpinsTellano{"FerrantSpinsTellano", FerrantSpinsTellanoLegs};
constexpr EventProcedure QvxSpins2Brantel{"QvxSpins2Brantel", QvxSpins2BrantelLegs};
constexpr EventProcedure QvxwZero{"QvxwZero", QvxwZeroLegs};
constexpr EventProcedure TellanoBReclass{"TellanoBReclass", TellanoBReclassLegs};
constexpr EventProcedure TellanoAReclass{"TellanoAReclass", TellanoAReclassLegs, &TellanoBReclass};
constexpr EventProcedure KSNAcqQVX{"KSNAcqQVX", KSNAcqQVXLegs};
constexpr EventProcedure MeridaneSpinsDirvana{"MeridaneSpinsDirvana", MeridaneSpinsDirvanaLegs};
constexpr EventProcedure Ferrant2Marquon{"Ferrant2Marquon", Ferrant2MarquonLegs};
constexpr EventProcedure Dunmarrow2QVX{"Dunmarrow2QVX", Dunmarrow2QVXLegs};
constexpr EventProcedure Tellano2CRN{"Tellano2CRN", Tellano2CRNLegs};
constexpr EventProcedure TBNSpinsKaldera{"TBNSpinsKaldera", TBNSpinsKalderaLegs};
constexpr EventProcedure SolvaneZero{"SolvaneZero", SolvaneZeroLegs};
constexpr EventProcedure MeridaneSpinsHollin{"MeridaneSpinsHollin", MeridaneSpinsHollinLegs};
constexpr EventProcedure DirvanaZero{"DirvanaZero", DirvanaZeroLegs};
constexpr EventProcedure MeridaneSpinsRavensby{"MeridaneSpinsRavensby", MeridaneSpinsRavensbyLegs};
constexpr EventProcedure Zephrin2Aldamark{"Zephrin2Aldamark", Zephrin2AldamarkLegs};
constexpr EventProcedure VantrelDistributesMeridane{"VantrelDistributesMeridane", VantrelDistributesMeridaneLegs};
constexpr EventProcedure CRNZero{"CRNZero", CRNZeroLegs};
constexpr EventProcedure HollinZero{"HollinZero", HollinZeroLegs};
constexpr EventProcedure Marquon2Vesterholm{"Marquon2Vesterholm", Marquon2VesterholmLegs};

// ---- the schedule ------------------------------------------------------------------

constexpr Date ymd(int y, unsigned m, unsigned d) { return Date{year{y}, month{m}, day{d}}; }
constexpr ScheduledAction event(Date d, const EventProcedure& p, bool pump = false) {
  return {d, &p, {}, 0, pump};
}
constexpr ScheduledAction split(Date d, std::string_view security, double factor, bool pump = false) {
  return {d, nullptr, security, factor, pump};
}

constexpr ScheduledAction kSchedule[] = {
    event(ymd(1983, 12, 31), QvxDivestiture),
    split(ymd(1984, 5, 22), "Dunmarrow", 2.0),
    split(ymd(1986, 4, 17), "Tessaline", 1.0),
    split(ymd(1986, 5, 1), "Halvern", 1.0, true),
    split(ymd(1986, 5, 9), "Altamor", 1.0),
    split(ymd(1986, 6, 9), "Corvallan", 1.0),
    split(ymd(1987, 1, 26), "Orvanta", 0.5),
    split(ymd(1987, 2, 23), "Dunmarrow", 0.5),
    split(ymd(1987, 3, 25), "Corvallan", 1.0),
    split(ymd(1987, 5, 22), "KSN Communications", 2.0),
    split(ymd(1989, 1, 26), "Orvanta", 1.0),
    split(ymd(1990, 4, 19), "Altamor", 1.0),
    split(ymd(1990, 5, 1), "Tessaline", 1.0),
    split(ymd(1993, 5, 25), "KSN Communications", 1.0),
    split(ymd(1993, 9, 15), "Halvern", 1.0),
    split(ymd(1994, 1, 24), "Orvanta", 1.0),
    event(ymd(1994, 4, 1), CvSpinOffSkv),
    event(ymd(1995, 11, 1), AltSpinsLum1),
    split(ymd(1995, 11, 8), "Dunmarrow", 1.0),
    event(ymd(1996, 9, 30), QvxSpinsFrt, true),
    event(ymd(1996, 12, 31), QvxSpinsTbn),
    event(ymd(1997, 4, 1), KsnAcqCv),
    event(ymd(1997, 8, 14), TslAcqHlv),
    split(ymd(1998, 1, 26), "Orvanta", 1.0),
    split(ymd(1998, 3, 19), "KSN Communications", 1.0),
    split(ymd(1998, 4, 2), "Ferrant Technologies", 1.0),
    event(ymd(1998, 6, 12), Lum1SpinRook),
    split(ymd(1998, 6, 29), "Tessaline", 1.0),
    split(ymd(1998, 12, 24), "Dunmarrow", 1.0, true),
    split(ymd(1999, 4, 5), "Ferrant Technologies", 1.0),
    split(ymd(1999, 4, 15), "Quorvex", 0.5),
    event(ymd(1999, 6, 30), VtlAcqSkv),
    split(ymd(1999, 10, 4), "Vantrel", 4.0),
    event(ymd(1999, 10, 8), KsnAcqOrva),
    event(ymd(2000, 6, 15), QvxAcqLum1),
    event(ymd(2000, 6, 30), MrdAcqTsl),
    event(ymd(2000, 6, 30), ZphAcqAltcom, true),
    event(ymd(2000, 10, 2), FrtSpinsSol),
    event(ymd(2001, 7, 9), QvxSpinsQvxw, true),
    event(ymd(2002, 6, 1), FerrantSpinsTellano),
    event(ymd(2002, 11, 18), QvxSpins2Brantel),
    split(ymd(2002, 11, 18), "Quorvex", -0.8),
    event(ymd(2004, 12, 30), QvxwZero),
    split(ymd(2005, 1, 21), "TBN", 1.0),
    event(ymd(2005, 5, 27), TellanoAReclass),
    split(ymd(2005, 5, 28), "Tellano after 5-27-05", -0.9),
    event(ymd(2005, 11, 18), KSNAcqQVX),
    split(ymd(2006, 7, 31), "Vantrel", -0.125),
    event(ymd(2006, 11, 20), MeridaneSpinsDirvana),
    event(ymd(2006, 12, 1), Ferrant2Marquon),
    event(ymd(2006, 12, 29), Dunmarrow2QVX),
    split(ymd(2007, 2, 21), "Brantel", 0.5),
    event(ymd(2007, 4, 2), Tellano2CRN),
    event(ymd(2007, 9, 14), TBNSpinsKaldera),
    event(ymd(2007, 12, 30), SolvaneZero),
    event(ymd(2008, 3, 7), MeridaneSpinsHollin),
    event(ymd(2010, 1, 1), DirvanaZero),
    event(ymd(2010, 7, 1), MeridaneSpinsRavensby),
    event(ymd(2011, 4, 1), Zephrin2Aldamark),
    event(ymd(2014, 2, 24), VantrelDistributesMeridane),
    split(ymd(2014, 2, 24), "Vantrel", -0.4545454545),
    event(ymd(2016, 1, 1), CRNZero),
    event(ymd(2016, 1, 2), HollinZero),
    event(ymd(2016, 1, 6), Marquon2Vesterholm),
    split(ymd(2017, 2, 17), "Brantel", 1.0),
    split(ymd(2017, 5, 10), "Ravensby Comm", -0.933333333333),
};

// ---- the Lumora merger's constants ----------------------------------------------------

struct Election {
  double sharesPerLumoraShare;
  Currency cashPerLumoraShare;
};

Election electionTerms(eLumora election) {
  switch (election) {
    case eLumora::standard: return {0.95, 36.27_usd};
    case eLumora::shares: return {1.4912, 8.50_usd};
    case eLumora::cash: return {0.8955, 39.06_usd};
  }
  return {0, Currency()};  // any other value: factor and price stay unset
}

constexpr double kLumoraFairValuePerQuorvexShare = 33.8125;
constexpr Currency kMeridanePricePerDistributedShare = 48.115_usd;

void post(const Posting& row, Securities& securities, Currency basis, double shares, Date day,
          eLumora election) {
  auto x = Xaction::create();
  if (row.allocationFactor) x->AllocationFactor(*row.allocationFactor);
  x->DistributionFactor(row.distributionFactor);
  Currency sourceCost = basis;
  switch (row.special) {
    case Special::CashOrStock: {
      const Election terms = electionTerms(election);
      x->DistributionFactor(terms.sharesPerLumoraShare);
      x->SourcePricePerShr(terms.cashPerLumoraShare.toDouble());
      x->CashOrStk_FMVperShare(kLumoraFairValuePerQuorvexShare);
      break;
    }
    case Special::Distribution:
      sourceCost = asCurrency(kMeridanePricePerDistributedShare.toDouble() * (x->DistributionFactor() * shares));
      break;
    case Special::None:
      break;
  }
  x->SourceCost(sourceCost);
  x->SourceShrs(shares);
  x->XActionDay(day);
  x->XactionType(row.type);
  if (!row.description.empty()) x->Description(row.description);
  securities.Item(row.target)->colXActions()->Add(x);
}

}  // namespace

std::span<const ScheduledAction> schedule() { return kSchedule; }

void runEvent(const EventProcedure& procedure, Securities& securities, Date day, eLumora election) {
  withTrail(std::string("CapitalXactions.") + std::string(procedure.name), [&] {
    for (const Leg& leg : procedure.legs) {
      const auto source = securities.Item(leg.source)->colXActions();
      const long count = source->Count();
      if (count == 0) continue;  // never held, or the history never reached it
      // The snapshot every posting of this leg uses, taken before any of them.
      const auto last = source->Item(count);
      const Currency basis = last->NewCostAmount();
      const double shares = last->NewShrsValue();
      for (const Posting& row : leg.postings) post(row, securities, basis, shares, day, election);
    }
    if (procedure.then) runEvent(*procedure.then, securities, day, election);
  });
}

void makeStkSplitXaction(const SecurityPtr& security, double factor, Date day) {
  withTrail("Investor.MakeStkSplitXaction", [&] {
    auto x = Xaction::create();
    x->AllocationFactor(0);
    x->DistributionFactor(factor);
    x->XActionDay(day);
    x->XactionType(XTransType::Split);
    security->colXActions()->Add(x);
  });
}

bool runScheduledActions(Date day, Securities& securities, eLumora election) {
  // The table is in date order: find the day's actions instead of scanning
  // every row on every day the caller visits.
  struct ByDate {
    bool operator()(const ScheduledAction& a, Date d) const { return a.date < d; }
    bool operator()(Date d, const ScheduledAction& a) const { return d < a.date; }
  };
  const auto [first, last] = std::equal_range(std::begin(kSchedule), std::end(kSchedule), day, ByDate{});
  bool pump = false;
  for (const ScheduledAction& action : std::span(first, last)) {
    if (action.procedure) {
      runEvent(*action.procedure, securities, day, election);
    } else {
      makeStkSplitXaction(securities.Item(action.splitSecurity), action.splitFactor, day);
    }
    pump |= action.processMessagesAfter;
  }
  return pump;
}

}  // namespace orlendo::history
