// The table of the real bodies, transcribed from the published sources named
// at each group, and the arithmetic that turns a rotation model into a frame.
// No orbits here: where a body is comes from the ephemeris, not from this file.
#include "core/sim/BodyData.h"

#include <cmath>

namespace {

const double kPi = 3.14159265358979323846;
const double kRadian = kPi / 180;
const double kJ2000 = 2451545.0;
constexpr double kDaysPerCentury = 36525;
const double kAuKm = 149597870.7;
// IAU 1980 / J2000 obliquity of the ecliptic, 84381.406 arc seconds.
const double kObliquity = 84381.406 / 3600 * kRadian;

// GM in km^3/s^2.
// The Sun, the planets' systems, the Earth and the Moon: JPL DE440 (Park et
// al. 2021, AJ 161:105), as NAIF's gm_de440.tpc carries them.
constexpr double kGmSun = 132712440041.279419;
constexpr double kGmMerkur = 22031.868551400003;
constexpr double kGmVenuse = 324858.592;
constexpr double kGmEarthMoon = 403503.23562548019;
constexpr double kGmZeme = 398600.43550702266;
constexpr double kGmMesic = 4902.8001184575496;
constexpr double kGmMarsSystem = 42828.375815756102;
constexpr double kGmJupiterSystem = 126712764.09999998;
constexpr double kGmSaturnSystem = 37940584.841799997;
constexpr double kGmUranSystem = 5794556.3999999985;
constexpr double kGmNeptunSystem = 6836527.1005803989;
constexpr double kGmPlutoSystem = 975.5;
// The moons: JPL's satellite ephemerides as JPL Horizons' gm_Horizons.pck
// (2025) gives them: MAR097 (Mars), JUP365 (Jupiter), SAT441L (Saturn),
// URA182/183 (Uranus), NEP100/101 (Triton), PLU060 (Charon).
constexpr double kGmPhobos = 7.087546066894452e-4;
constexpr double kGmDeimos = 9.615569648120313e-5;
constexpr double kGmIo = 5959.915466180539;
constexpr double kGmEuropa = 3202.712099607295;
constexpr double kGmGanymed = 9887.832752719638;
constexpr double kGmKallisto = 7179.283402579837;
constexpr double kGmMimas = 2.503488768152587;
constexpr double kGmEnceladus = 7.210366688598896;
constexpr double kGmTethys = 41.21352885489587;
constexpr double kGmDione = 73.11607172482067;
constexpr double kGmRhea = 153.9417519146563;
constexpr double kGmTitan = 8978.137095521046;
constexpr double kGmHyperion = 0.3704913747932265;
constexpr double kGmIapetus = 120.5151060137642;
constexpr double kGmMiranda = 4.105527241181560;
constexpr double kGmAriel = 83.43074677282458;
constexpr double kGmUmbriel = 85.40300422326412;
constexpr double kGmTitania = 222.8006351879754;
constexpr double kGmOberon = 214.2098399407347;
constexpr double kGmTriton = 1428.495462910464;
constexpr double kGmCharon = 106.1011388236118;
// DE440 gives Mars through Pluto as systems. The universe holds each moon of
// this table as a body of its own, so the planet keeps the system less those
// moons (the smaller moons not listed stay in the planet's figure).
constexpr double kGmMarsOwn = kGmMarsSystem - (kGmPhobos + kGmDeimos);
constexpr double kGmJupiterOwn = kGmJupiterSystem - (kGmIo + kGmEuropa + kGmGanymed + kGmKallisto);
constexpr double kGmSaturnOwn = kGmSaturnSystem - (kGmMimas + kGmEnceladus + kGmTethys + kGmDione + kGmRhea +
                                                   kGmTitan + kGmHyperion + kGmIapetus);
constexpr double kGmUranOwn = kGmUranSystem - (kGmMiranda + kGmAriel + kGmUmbriel + kGmTitania + kGmOberon);
constexpr double kGmNeptunOwn = kGmNeptunSystem - kGmTriton;
constexpr double kGmPlutoOwn = kGmPlutoSystem - kGmCharon;

// Rotation models: the IAU WGCCRE 2015 report (Archinal et al. 2018, Celest.
// Mech. Dyn. Astr. 130:22, with its 2019 erratum for Phobos), as NAIF's
// pck00011.tpc carries it. Published daily rates of arguments (the Moon's E,
// Mercury's M) are kept as published and turned into centuries here.
struct Argument {
    double phase, rate, rate2;
};
constexpr RotationTerm Term(Argument a, double ra, double dec, double w) {
    return RotationTerm{a.phase, a.rate, a.rate2, ra, dec, w};
}

constexpr RotationTerm kMerkurTerms[] = {
    Term({174.7910857, 4.092335 * kDaysPerCentury, 0}, 0, 0, 0.01067257),
    Term({349.5821714, 8.184670 * kDaysPerCentury, 0}, 0, 0, -0.00112309),
    Term({164.3732571, 12.277005 * kDaysPerCentury, 0}, 0, 0, -0.00011040),
    Term({339.1643429, 16.369340 * kDaysPerCentury, 0}, 0, 0, -0.00002539),
    Term({153.9554286, 20.461675 * kDaysPerCentury, 0}, 0, 0, -0.00000571),
};

constexpr Argument kE1{125.045, -0.0529921 * kDaysPerCentury, 0}, kE2{250.089, -0.1059842 * kDaysPerCentury, 0},
    kE3{260.008, 13.0120009 * kDaysPerCentury, 0}, kE4{176.625, 13.3407154 * kDaysPerCentury, 0},
    kE5{357.529, 0.9856003 * kDaysPerCentury, 0}, kE6{311.589, 26.4057084 * kDaysPerCentury, 0},
    kE7{134.963, 13.0649930 * kDaysPerCentury, 0}, kE8{276.617, 0.3287146 * kDaysPerCentury, 0},
    kE9{34.226, 1.7484877 * kDaysPerCentury, 0}, kE10{15.134, -0.1589763 * kDaysPerCentury, 0},
    kE11{119.743, 0.0036096 * kDaysPerCentury, 0}, kE12{239.961, 0.1643573 * kDaysPerCentury, 0},
    kE13{25.053, 12.9590088 * kDaysPerCentury, 0};
constexpr RotationTerm kMesicTerms[] = {
    Term(kE1, -3.8787, 1.5419, 3.5610), Term(kE2, -0.1204, 0.0239, 0.1208), Term(kE3, 0.0700, -0.0278, -0.0642),
    Term(kE4, -0.0172, 0.0068, 0.0158), Term(kE5, 0, 0, 0.0252),          Term(kE6, 0.0072, -0.0029, -0.0066),
    Term(kE7, 0, 0.0009, -0.0047),      Term(kE8, 0, 0, -0.0046),          Term(kE9, 0, 0, 0.0028),
    Term(kE10, -0.0052, 0.0008, 0.0052), Term(kE11, 0, 0, 0.0040),         Term(kE12, 0, 0, 0.0019),
    Term(kE13, 0.0043, -0.0009, -0.0044),
};

// Mars (Kuchynka et al. 2014, in the 2015 report): each term moves one angle.
constexpr RotationTerm kMarsTerms[] = {
    Term({198.991226, 19139.4819985, 0}, 0.000068, 0, 0),
    Term({226.292679, 38280.8511281, 0}, 0.000238, 0, 0),
    Term({249.663391, 57420.7251593, 0}, 0.000052, 0, 0),
    Term({266.183510, 76560.6367950, 0}, 0.000009, 0, 0),
    Term({79.398797, 0.5042615, 0}, 0.419057, 0, 0),
    Term({122.433576, 19139.9407476, 0}, 0, 0.000051, 0),
    Term({43.058401, 38280.8753272, 0}, 0, 0.000141, 0),
    Term({57.663379, 57420.7517205, 0}, 0, 0.000031, 0),
    Term({79.476401, 76560.6495004, 0}, 0, 0.000005, 0),
    Term({166.325722, 0.5042615, 0}, 0, 1.591274, 0),
    Term({129.071773, 19140.0328244, 0}, 0, 0, 0.000145),
    Term({36.352167, 38281.0473591, 0}, 0, 0, 0.000157),
    Term({56.668646, 57420.9295360, 0}, 0, 0, 0.000040),
    Term({67.364003, 76560.2552215, 0}, 0, 0, 0.000001),
    Term({104.792680, 95700.4387578, 0}, 0, 0, 0.000001),
    Term({95.391654, 0.5042615, 0}, 0, 0, 0.584542),
};

constexpr Argument kM1{190.72646643, 15917.10818695, 0}, kM2{21.46892470, 31834.27934054, 0},
    kM3{332.86082793, 19139.89694742, 0}, kM4{394.93256437, 38280.79631835, 0},
    kM5{189.63271560, 41215158.18420050, 12.711923222}, kM6{121.46893664, 660.22803474, 0},
    kM7{231.05028581, 660.99123540, 0}, kM8{251.37314025, 1320.50145245, 0},
    kM9{217.98635955, 38279.96125550, 0}, kM10{196.19729402, 19139.83628608, 0};
constexpr RotationTerm kPhobosTerms[] = {
    Term(kM1, -1.78428399, -1.07516537, 1.42421769), Term(kM2, 0.02212824, 0.00668626, -0.02273783),
    Term(kM3, -0.01028251, -0.00648740, 0.00410711), Term(kM4, -0.00475595, 0.00281576, 0.00631964),
    Term(kM5, 0, 0, -1.143),
};
constexpr RotationTerm kDeimosTerms[] = {
    Term(kM6, 3.09217726, 1.83936004, -2.73954829), Term(kM7, 0.22980637, 0.14325320, -0.39968606),
    Term(kM8, 0.06418655, 0.01911409, -0.06563259), Term(kM9, 0.02533537, -0.01482590, -0.02912940),
    Term(kM10, 0.00778695, 0.00192430, 0.01699160),
};

constexpr RotationTerm kJupiterTerms[] = {
    Term({99.360714, 4850.4046, 0}, 0.000117, 0.000050, 0),
    Term({175.895369, 1191.9605, 0}, 0.000938, 0.000404, 0),
    Term({300.323162, 262.5475, 0}, 0.001432, 0.000617, 0),
    Term({114.012305, 6070.2476, 0}, 0.000030, -0.000013, 0),
    Term({49.511251, 64.3000, 0}, 0.002150, 0.000926, 0),
};

constexpr Argument kJ3{283.90, 4850.7, 0}, kJ4{355.80, 1191.3, 0}, kJ5{119.90, 262.1, 0}, kJ6{229.80, 64.3, 0},
    kJ7{352.25, 2382.6, 0}, kJ8{113.35, 6070.0, 0};
constexpr RotationTerm kIoTerms[] = {Term(kJ3, 0.094, 0.040, -0.085), Term(kJ4, 0.024, 0.011, -0.022)};
constexpr RotationTerm kEuropaTerms[] = {
    Term(kJ4, 1.086, 0.468, -0.980), Term(kJ5, 0.060, 0.026, -0.054),
    Term(kJ6, 0.015, 0.007, -0.014), Term(kJ7, 0.009, 0.002, -0.008),
};
constexpr RotationTerm kGanymedTerms[] = {
    Term(kJ4, -0.037, -0.016, 0.033), Term(kJ5, 0.431, 0.186, -0.389), Term(kJ6, 0.091, 0.039, -0.082),
};
constexpr RotationTerm kKallistoTerms[] = {
    Term(kJ5, -0.068, -0.029, 0.061), Term(kJ6, 0.590, 0.254, -0.533), Term(kJ8, 0.010, -0.004, -0.009),
};

constexpr Argument kS3{177.40, -36505.5, 0}, kS4{300.00, -7225.9, 0}, kS5{316.45, 506.2, 0},
    kS6{345.20, -1016.3, 0};
constexpr RotationTerm kMimasTerms[] = {Term(kS3, 13.56, -1.53, -13.48), Term(kS5, 0, 0, -44.85)};
constexpr RotationTerm kTethysTerms[] = {Term(kS4, 9.66, -1.09, -9.60), Term(kS5, 0, 0, 2.23)};
constexpr RotationTerm kRheaTerms[] = {Term(kS6, 3.10, -0.35, -3.08)};

constexpr Argument kU11{102.23, -2024.22, 0}, kU12{316.41, 2863.96, 0}, kU13{304.01, -51.94, 0},
    kU14{308.71, -93.17, 0}, kU15{340.82, -75.32, 0}, kU16{259.14, -504.81, 0};
constexpr Argument Twice(Argument a) { return Argument{2 * a.phase, 2 * a.rate, 2 * a.rate2}; }
constexpr RotationTerm kMirandaTerms[] = {
    Term(kU11, 4.41, 4.25, 1.15), Term(Twice(kU11), -0.04, -0.02, -0.09),
    Term(kU12, 0, 0, -1.27), Term(Twice(kU12), 0, 0, 0.15),
};
constexpr RotationTerm kArielTerms[] = {Term(kU12, 0, 0, 0.05), Term(kU13, 0.29, 0.28, 0.08)};
constexpr RotationTerm kUmbrielTerms[] = {Term(kU12, 0, 0, -0.09), Term(kU14, 0.21, 0.20, 0.06)};
constexpr RotationTerm kTitaniaTerms[] = {Term(kU15, 0.29, 0.28, 0.08)};
constexpr RotationTerm kOberonTerms[] = {Term(kU16, 0.16, 0.16, 0.04)};

constexpr RotationTerm kNeptunTerms[] = {Term({357.85, 52.316, 0}, 0.70, -0.51, -0.48)};
// Triton's terms run over multiples of N7 = 177.85 + 52.316 T.
constexpr Argument N7(int k) { return Argument{k * 177.85, k * 52.316, 0}; }
constexpr RotationTerm kTritonTerms[] = {
    Term(N7(1), -32.35, 22.55, 22.25), Term(N7(2), -6.28, 2.10, 6.73), Term(N7(3), -2.08, 0.55, 2.05),
    Term(N7(4), -0.74, 0.16, 0.74),    Term(N7(5), -0.28, 0.05, 0.28), Term(N7(6), -0.11, 0.02, 0.11),
    Term(N7(7), -0.07, 0.01, 0.05),    Term(N7(8), -0.02, 0, 0.02),    Term(N7(9), -0.01, 0, 0.01),
};

#define TERMS(array) array, static_cast<int>(sizeof array / sizeof array[0])
#define NO_TERMS nullptr, 0

}  // namespace

// Mean radii: the 2015 report's tables; for the moons as JPL's satellite
// physical parameters list them from it (Tethys 531.1, Titan 2574.76 km).
// Zonal harmonics, unnormalised, with their reference radius:
//   Zeme     JPL DE431/DE440 constants J2E, J4E (RE 6378.1363 km)
//   Mars     MAR097 (Jacobson 2010), 3396 km
//   Jupiter  Juno, Durante et al. 2020, Table 2, 71492 km
//   Saturn   Cassini Grand Finale, Iess et al. 2019, Table 1, 60330 km
//   Uran     URA111 (Jacobson 2014), 25559 km
//   Neptun   NEP081 (Jacobson 2009), 25225 km
const BodyData BodyDataTable[RealBodies] = {
    {"Slunce", -1, kGmSun, kGmSun, 695700, 0, 0, 0, 1,
     286.13, 0, 63.87, 0, 84.176, 14.1844000, 0, NO_TERMS},
    {"Merkur", RealSun, kGmMerkur, kGmMerkur, 2439.4, 0, 0, 0, 1,
     281.0103, -0.0328, 61.4155, -0.0049, 329.5988, 6.1385108, 0, TERMS(kMerkurTerms)},
    {"Venuse", RealSun, kGmVenuse, kGmVenuse, 6051.8, 0, 0, 0, 1,
     272.76, 0, 67.16, 0, 160.20, -1.4813688, 0, NO_TERMS},
    {"Zeme", RealSun, kGmZeme, kGmEarthMoon, 6371.0084, 1.08262545e-3, -1.619898e-6, 6378.1363, 1,
     0.00, -0.641, 90.00, -0.557, 190.147, 360.9856235, 0, NO_TERMS},
    {"Mars", RealSun, kGmMarsOwn, kGmMarsSystem, 3389.50, 1.956608644161255e-3, -1.538684158075500e-5, 3396.0, 1,
     317.269202, -0.10927547, 54.432516, -0.05827105, 176.049863, 350.891982443297, 0, TERMS(kMarsTerms)},
    {"Jupiter", RealSun, kGmJupiterOwn, kGmJupiterSystem, 69911, 14696.5735e-6, -586.6085e-6, 71492, 1,
     268.056595, -0.006499, 64.495303, 0.002413, 284.95, 870.5360000, 0, TERMS(kJupiterTerms)},
    {"Saturn", RealSun, kGmSaturnOwn, kGmSaturnSystem, 58232, 16290.573e-6, -935.314e-6, 60330, 1,
     40.589, -0.036, 83.537, -0.004, 38.90, 810.7939024, 0, NO_TERMS},
    {"Uran", RealSun, kGmUranOwn, kGmUranSystem, 25362, 3.510685384697763e-3, -3.416639735448987e-5, 25559, 1,
     257.311, 0, -15.175, 0, 203.81, -501.1600928, 0, NO_TERMS},
    {"Neptun", RealSun, kGmNeptunOwn, kGmNeptunSystem, 24622, 3.408428530717952e-3, -3.339891759006578e-5, 25225, 1,
     299.36, 0, 43.46, 0, 249.978, 541.1397757, 0, TERMS(kNeptunTerms)},
    {"Pluto", RealSun, kGmPlutoOwn, kGmPlutoSystem, 1188.3, 0, 0, 0, 1,
     132.993, 0, -6.163, 0, 302.695, 56.3625225, 0, NO_TERMS},
    {"Mesic", RealZeme, kGmMesic, kGmMesic, 1737.4, 0, 0, 0, 1,
     269.9949, 0.0031, 66.5392, 0.0130, 38.3213, 13.17635815, -1.4e-12, TERMS(kMesicTerms)},
    {"Phobos", RealMars, kGmPhobos, kGmPhobos, 11.08, 0, 0, 0, 1,
     317.67071657, -0.10844326, 52.88627266, -0.06134706, 35.1877444, 1128.84475928, 9.536137031212154e-9,
     TERMS(kPhobosTerms)},
    {"Deimos", RealMars, kGmDeimos, kGmDeimos, 6.2, 0, 0, 0, 1,
     316.65705808, -0.10518014, 53.50992033, -0.05979094, 79.39932954, 285.16188899, 0, TERMS(kDeimosTerms)},
    {"Io", RealJupiter, kGmIo, kGmIo, 1821.49, 0, 0, 0, 1,
     268.05, -0.009, 64.50, 0.003, 200.39, 203.4889538, 0, TERMS(kIoTerms)},
    {"Europa", RealJupiter, kGmEuropa, kGmEuropa, 1560.8, 0, 0, 0, 1,
     268.08, -0.009, 64.51, 0.003, 36.022, 101.3747235, 0, TERMS(kEuropaTerms)},
    {"Ganymed", RealJupiter, kGmGanymed, kGmGanymed, 2631.2, 0, 0, 0, 1,
     268.20, -0.009, 64.57, 0.003, 44.064, 50.3176081, 0, TERMS(kGanymedTerms)},
    {"Kallisto", RealJupiter, kGmKallisto, kGmKallisto, 2410.3, 0, 0, 0, 1,
     268.72, -0.009, 64.83, 0.003, 259.51, 21.5710715, 0, TERMS(kKallistoTerms)},
    {"Mimas", RealSaturn, kGmMimas, kGmMimas, 198.2, 0, 0, 0, 1,
     40.66, -0.036, 83.52, -0.004, 333.46, 381.9945550, 0, TERMS(kMimasTerms)},
    {"Enceladus", RealSaturn, kGmEnceladus, kGmEnceladus, 252.1, 0, 0, 0, 1,
     40.66, -0.036, 83.52, -0.004, 6.32, 262.7318996, 0, NO_TERMS},
    {"Tethys", RealSaturn, kGmTethys, kGmTethys, 531.1, 0, 0, 0, 1,
     40.66, -0.036, 83.52, -0.004, 8.95, 190.6979085, 0, TERMS(kTethysTerms)},
    {"Dione", RealSaturn, kGmDione, kGmDione, 561.4, 0, 0, 0, 1,
     40.66, -0.036, 83.52, -0.004, 357.6, 131.5349316, 0, NO_TERMS},
    {"Rhea", RealSaturn, kGmRhea, kGmRhea, 763.5, 0, 0, 0, 1,
     40.38, -0.036, 83.55, -0.004, 235.16, 79.6900478, 0, TERMS(kRheaTerms)},
    {"Titan", RealSaturn, kGmTitan, kGmTitan, 2574.76, 0, 0, 0, 1,
     39.4827, 0, 83.4279, 0, 186.5855, 22.5769768, 0, NO_TERMS},
    // Hyperion tumbles chaotically; the report gives no model.
    {"Hyperion", RealSaturn, kGmHyperion, kGmHyperion, 135.0, 0, 0, 0, 0,
     0, 0, 0, 0, 0, 0, 0, NO_TERMS},
    {"Iapetus", RealSaturn, kGmIapetus, kGmIapetus, 734.3, 0, 0, 0, 1,
     318.16, -3.949, 75.03, -1.143, 355.2, 4.5379572, 0, NO_TERMS},
    {"Miranda", RealUran, kGmMiranda, kGmMiranda, 235.8, 0, 0, 0, 1,
     257.43, 0, -15.08, 0, 30.70, -254.6906892, 0, TERMS(kMirandaTerms)},
    {"Ariel", RealUran, kGmAriel, kGmAriel, 578.9, 0, 0, 0, 1,
     257.43, 0, -15.10, 0, 156.22, -142.8356681, 0, TERMS(kArielTerms)},
    {"Umbriel", RealUran, kGmUmbriel, kGmUmbriel, 584.7, 0, 0, 0, 1,
     257.43, 0, -15.10, 0, 108.05, -86.8688923, 0, TERMS(kUmbrielTerms)},
    {"Titania", RealUran, kGmTitania, kGmTitania, 788.9, 0, 0, 0, 1,
     257.43, 0, -15.10, 0, 77.74, -41.3514316, 0, TERMS(kTitaniaTerms)},
    {"Oberon", RealUran, kGmOberon, kGmOberon, 761.4, 0, 0, 0, 1,
     257.43, 0, -15.10, 0, 6.77, -26.7394932, 0, TERMS(kOberonTerms)},
    {"Triton", RealNeptun, kGmTriton, kGmTriton, 1352.6, 0, 0, 0, 1,
     299.36, 0, 41.17, 0, 296.53, -61.2572637, 0, TERMS(kTritonTerms)},
    {"Charon", RealPluto, kGmCharon, kGmCharon, 606.0, 0, 0, 0, 1,
     132.993, 0, -6.163, 0, 122.695, 56.3625225, 0, NO_TERMS},
};

namespace {

int InTable(int body) { return body >= 0 && body < RealBodies; }

// v' = M v for row-major 3x3 matrices: out = a * b.
void Multiply(const double a[9], const double b[9], double out[9]) {
    for (int r = 0; r < 3; ++r) {
        for (int c = 0; c < 3; ++c) {
            out[r * 3 + c] = a[r * 3] * b[c] + a[r * 3 + 1] * b[3 + c] + a[r * 3 + 2] * b[6 + c];
        }
    }
}

// Active rotations by angle (radians) about z and x.
void RotationZ(double angle, double out[9]) {
    const double c = std::cos(angle), s = std::sin(angle);
    const double m[9] = {c, -s, 0, s, c, 0, 0, 0, 1};
    for (int i = 0; i < 9; ++i) out[i] = m[i];
}
void RotationX(double angle, double out[9]) {
    const double c = std::cos(angle), s = std::sin(angle);
    const double m[9] = {1, 0, 0, 0, c, -s, 0, s, c};
    for (int i = 0; i < 9; ++i) out[i] = m[i];
}

}  // namespace

double BodyMassInEarths(int body) { return InTable(body) ? BodyDataTable[body].gm / kGmZeme : 0; }

double BodySystemMassInEarths(int body) { return InTable(body) ? BodyDataTable[body].systemGm / kGmZeme : 0; }

double BodyRadiusInAu(int body) { return InTable(body) ? BodyDataTable[body].radius / kAuKm : 0; }

int BodyRotationAngles(int body, double jdTT, double* ra, double* dec, double* w) {
    if (!InTable(body) || !BodyDataTable[body].rotates || !std::isfinite(jdTT)) return 0;
    const BodyData& b = BodyDataTable[body];
    const double d = jdTT - kJ2000;
    const double T = d / kDaysPerCentury;
    double alpha = b.ra0 + b.raRate * T;
    double delta = b.dec0 + b.decRate * T;
    // The spin is reduced to one turn before the small terms are added, so a
    // fast spinner far from J2000 keeps its fraction of a degree.
    double spin = std::fmod(b.w0 + b.wRate * d + b.wAccel * d * d, 360.0);
    for (int i = 0; i < b.termCount; ++i) {
        const RotationTerm& t = b.terms[i];
        const double arg = std::fmod(t.phase + t.rate * T + t.rate2 * T * T, 360.0) * kRadian;
        const double s = std::sin(arg);
        alpha += t.ra * s;
        delta += t.dec * std::cos(arg);
        spin += t.w * s;
    }
    spin = std::fmod(spin, 360.0);
    if (spin < 0) spin += 360;
    if (ra) *ra = alpha;
    if (dec) *dec = delta;
    if (w) *w = spin;
    return 1;
}

int BodyOrientation(int body, double jdTT, double rotation[9]) {
    double alpha, delta, w;
    if (!rotation || !BodyRotationAngles(body, jdTT, &alpha, &delta, &w)) return 0;
    // Body to equator: spin W about the pole, tip the pole from the equator's
    // north to declination delta, and turn the node to right ascension
    // alpha + 90 (where the body's equator rises through the ICRF equator).
    double a[9], b[9], c[9], ab[9], equatorial[9], ecliptic[9];
    RotationZ((90 + alpha) * kRadian, a);
    RotationX((90 - delta) * kRadian, b);
    RotationZ(w * kRadian, c);
    Multiply(a, b, ab);
    Multiply(ab, c, equatorial);
    // Equator to ecliptic: turn back about the equinox by the obliquity.
    RotationX(-kObliquity, ecliptic);
    Multiply(ecliptic, equatorial, rotation);
    return 1;
}

int BodyPole(int body, double jdTT, double pole[3]) {
    double r[9];
    if (!pole || !BodyOrientation(body, jdTT, r)) return 0;
    pole[0] = r[2], pole[1] = r[5], pole[2] = r[8];
    return 1;
}

int BodyOrientationModel(int body, double jdTT, double rotation[9]) {
    double r[9];
    if (!rotation || !BodyOrientation(body, jdTT, r)) return 0;
    // Rows of the model's axes: x = X, y = -Z, z = Y.
    for (int c = 0; c < 3; ++c) {
        rotation[c] = r[c];
        rotation[3 + c] = -r[6 + c];
        rotation[6 + c] = r[3 + c];
    }
    return 1;
}
