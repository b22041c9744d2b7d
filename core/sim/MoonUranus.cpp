// Miranda, Ariel, Umbriel, Titania and Oberon from GUST86 (Laskar & Jacobson
// 1987, A&A 188, 212): elliptic elements with their mutual perturbations,
// referred to Uranus's equator, turned to the B1950 equator and precessed to
// the J2000 ecliptic. Geometric positions about Uranus's centre.
#include <cmath>

#include "core/sim/MoonSeries.h"

namespace moonseries {

namespace {

Dual Cbrt(Dual a) {
    const double c = std::cbrt(a.v);
    return Dual{c, a.d / (3 * c * c)};
}

// The eccentric longitude F of L = F - K sin F + H cos F.
Dual EccentricLongitude(Dual L, Dual K, Dual H) {
    double F = L.v;
    for (int i = 0; i < 30; ++i) {
        const double step = (F - K.v * std::sin(F) + H.v * std::cos(F) - L.v) /
                            (1 - K.v * std::cos(F) - H.v * std::sin(F));
        F -= step;
        if (std::fabs(step) < 1e-15) break;
    }
    const double den = 1 - K.v * std::cos(F) - H.v * std::sin(F);
    return Dual{F, (L.d + K.d * std::sin(F) - H.d * std::cos(F)) / den};
}

}  // namespace

Vec UranianMoon(int k, Dual jd) {
    const double deg = kDeg;
    const Dual t = jd - 2444239.5;
    const Dual yr = t / 365.25;
    const Dual N1 = Wrap(4.445190550 * t - 0.238051);
    const Dual N2 = Wrap(2.492952519 * t + 3.098046);
    const Dual N3 = Wrap(1.516148111 * t + 2.285402);
    const Dual N4 = Wrap(0.721718509 * t + 0.856359);
    const Dual N5 = Wrap(0.466692120 * t - 0.915592);
    const Dual E1 = 20.082 * deg * yr + 0.611392, E2 = 6.217 * deg * yr + 2.408974, E3 = 2.865 * deg * yr + 2.067774;
    const Dual E4 = 2.078 * deg * yr + 0.735131, E5 = 0.386 * deg * yr + 0.426767;
    const Dual I1 = -20.309 * deg * yr + 5.702313, I2 = -6.288 * deg * yr + 0.395757;
    const Dual I3 = -2.836 * deg * yr + 0.589326, I4 = -1.843 * deg * yr + 1.746237;
    const Dual I5 = -0.259 * deg * yr + 4.206896;
    // GM in km^3/s^2: Uranus and each moon (the theory's own values).
    const double gm[5] = {4.4, 86.1, 84.0, 230.0, 200.0};
    const double gmUranus = 5794554.5 - (gm[0] + gm[1] + gm[2] + gm[3] + gm[4]);

    Dual n, L, K, H, Q, P;
    // The eccentricity and inclination vectors: K + iH and Q + iP as sums of
    // rotating terms.
    auto kh = [](Dual& Kr, Dual& Hr, const double* c, const Dual* a, int count) {
        Kr = Const(0);
        Hr = Const(0);
        for (int i = 0; i < count; ++i) {
            Kr += c[i] * cos(a[i]);
            Hr += c[i] * sin(a[i]);
        }
    };
    const Dual Is[5] = {I1, I2, I3, I4, I5};
    if (k == 0) {
        n = 4443522.67 - 34.92 * cos(N1 - 3 * N2 + 2 * N3) + 8.47 * cos(2 * N1 - 6 * N2 + 4 * N3) +
            1.31 * cos(3 * N1 - 9 * N2 + 6 * N3) - 52.28 * cos(N1 - N2) - 136.65 * cos(2 * N1 - 2 * N2);
        L = -238051.58 + 4445190.55 * t + 25472.17 * sin(N1 - 3 * N2 + 2 * N3) -
            3088.31 * sin(2 * N1 - 6 * N2 + 4 * N3) - 318.10 * sin(3 * N1 - 9 * N2 + 6 * N3) -
            37.49 * sin(4 * N1 - 12 * N2 + 8 * N3) - 57.85 * sin(N1 - N2) - 62.32 * sin(2 * N1 - 2 * N2) -
            27.95 * sin(3 * N1 - 3 * N2);
        const double c[] = {1312.38, 71.81, 69.77, 6.75, 6.27, -123.31, 39.52, 194.10};
        const Dual a[] = {E1, E2, E3, E4, E5, -N1 + 2 * N2, -2 * N1 + 3 * N2, N1};
        kh(K, H, c, a, 8);
        const double ci[] = {37871.71, 27.01, 30.76, 12.18, 5.37};
        kh(Q, P, ci, Is, 5);
    } else if (k == 1) {
        n = 2492542.57 + 2.55 * cos(N1 - 3 * N2 + 2 * N3) - 42.16 * cos(N2 - N3) - 102.56 * cos(2 * N2 - 2 * N3);
        L = 3098046.41 + 2492952.52 * t - 1860.50 * sin(N1 - 3 * N2 + 2 * N3) +
            219.99 * sin(2 * N1 - 6 * N2 + 4 * N3) + 23.10 * sin(3 * N1 - 9 * N2 + 6 * N3) +
            4.30 * sin(4 * N1 - 12 * N2 + 8 * N3) - 90.11 * sin(N2 - N3) - 91.07 * sin(2 * (N2 - N3)) -
            42.75 * sin(3 * (N2 - N3)) - 16.49 * sin(2 * (N2 - N4));
        const double c[] = {-3.35, 1187.63, 861.59, 71.50, 55.59, -84.60, 91.81, 20.03, 89.77};
        const Dual a[] = {E1, E2, E3, E4, E5, -N2 + 2 * N3, -2 * N2 + 3 * N3, -N2 + 2 * N4, N2};
        kh(K, H, c, a, 9);
        const double ci[] = {-121.75, 358.25, 290.08, 97.78, 33.97};
        kh(Q, P, ci, Is, 5);
    } else if (k == 2) {
        n = 1515954.90 + 9.74 * cos(N3 - 2 * N4 + E3) - 106.00 * cos(N2 - N3) + 54.16 * cos(2 * (N2 - N3)) -
            23.59 * cos(N3 - N4) - 70.70 * cos(2 * (N3 - N4)) - 36.28 * cos(3 * (N3 - N4));
        L = 2285401.69 + 1516148.11 * t + 660.57 * sin(N1 - 3 * N2 + 2 * N3) - 76.51 * sin(2 * N1 - 6 * N2 + 4 * N3) -
            8.96 * sin(3 * N1 - 9 * N2 + 6 * N3) - 2.53 * sin(4 * N1 - 12 * N2 + 8 * N3) -
            52.91 * sin(N3 - 4 * N4 + 3 * N5) - 7.34 * sin(N3 - 2 * N4 + E5) - 1.83 * sin(N3 - 2 * N4 + E4) +
            147.91 * sin(N3 - 2 * N4 + E3) - 7.77 * sin(N3 - 2 * N4 + E2) + 97.76 * sin(N2 - N3) +
            73.13 * sin(2 * (N2 - N3)) + 34.71 * sin(3 * (N2 - N3)) + 18.89 * sin(4 * (N2 - N3)) -
            67.89 * sin(N3 - N4) - 82.86 * sin(2 * (N3 - N4)) - 33.81 * sin(3 * (N3 - N4)) -
            15.79 * sin(4 * (N3 - N4)) - 10.21 * sin(N3 - N5) - 17.08 * sin(2 * (N3 - N5));
        const double c[] = {-0.21, -227.95, 3904.69, 309.17, 221.92, 29.34, 26.20, 51.19,
                            -103.86, -27.16, -16.22, 549.23, 34.70, 12.81, 21.81, 46.25};
        const Dual a[] = {E1, E2, E3, E4, E5, N2, N3, -N2 + 2 * N3, -2 * N2 + 3 * N3, -3 * N2 + 4 * N3, N4,
                          -N3 + 2 * N4, -2 * N3 + 3 * N4, -3 * N3 + 4 * N4, -N3 + 2 * N5, N3};
        kh(K, H, c, a, 16);
        const double ci[] = {-10.86, -81.51, 1113.36, 350.14, 106.50};
        kh(Q, P, ci, Is, 5);
    } else if (k == 3) {
        n = 721663.16 - 2.64 * cos(N3 - 2 * N4 + E3) - 2.16 * cos(2 * N4 - 3 * N5 + E5) +
            6.45 * cos(2 * N4 - 3 * N5 + E4) - 1.11 * cos(2 * N4 - 3 * N5 + E3) - 62.23 * cos(N2 - N4) -
            56.13 * cos(N3 - N4) - 39.94 * cos(N4 - N5) - 91.85 * cos(2 * (N4 - N5)) - 58.31 * cos(3 * (N4 - N5)) -
            38.60 * cos(4 * (N4 - N5)) - 26.18 * cos(5 * (N4 - N5)) - 18.06 * cos(6 * (N4 - N5));
        L = 856358.79 + 721718.51 * t + 20.61 * sin(N3 - 4 * N4 + 3 * N5) - 2.07 * sin(N3 - 2 * N4 + E5) -
            2.88 * sin(N3 - 2 * N4 + E4) - 40.79 * sin(N3 - 2 * N4 + E3) + 2.11 * sin(N3 - 2 * N4 + E2) -
            51.83 * sin(2 * N4 - 3 * N5 + E5) + 159.87 * sin(2 * N4 - 3 * N5 + E4) -
            35.05 * sin(2 * N4 - 3 * N5 + E3) - 1.56 * sin(3 * N4 - 4 * N5 + E5) + 40.54 * sin(N2 - N4) +
            46.17 * sin(N3 - N4) - 317.76 * sin(N4 - N5) - 305.59 * sin(2 * (N4 - N5)) -
            148.36 * sin(3 * (N4 - N5)) - 82.92 * sin(4 * (N4 - N5)) - 49.98 * sin(5 * (N4 - N5)) -
            31.56 * sin(6 * (N4 - N5)) - 20.56 * sin(7 * (N4 - N5)) - 13.69 * sin(8 * (N4 - N5));
        const double c[] = {-0.02, -1.29, -324.51, 932.81, 1120.89, 33.86, 17.46, 16.58, 28.89,
                            -35.86, -17.86, -32.10, -177.83, 793.43, 99.48, 44.83, 25.13, 15.43};
        const Dual a[] = {E1, E2, E3, E4, E5, N2, N4, -N2 + 2 * N4, N3, -N3 + 2 * N4, N4, N5,
                          -N4 + 2 * N5, -2 * N4 + 3 * N5, -3 * N4 + 4 * N5, -4 * N4 + 5 * N5, -5 * N4 + 6 * N5,
                          -6 * N4 + 7 * N5};
        kh(K, H, c, a, 18);
        const double ci[] = {-1.43, -1.06, -140.13, 685.72, 378.32};
        kh(Q, P, ci, Is, 5);
    } else {
        n = 466580.54 + 2.08 * cos(2 * N4 - 3 * N5 + E5) - 6.22 * cos(2 * N4 - 3 * N5 + E4) +
            1.07 * cos(2 * N4 - 3 * N5 + E3) - 43.10 * cos(N2 - N5) - 38.94 * cos(N3 - N5) - 80.11 * cos(N4 - N5) +
            59.06 * cos(2 * (N4 - N5)) + 37.49 * cos(3 * (N4 - N5)) + 24.82 * cos(4 * (N4 - N5)) +
            16.84 * cos(5 * (N4 - N5));
        L = -915591.80 + 466692.12 * t - 7.82 * sin(N3 - 4 * N4 + 3 * N5) + 51.29 * sin(2 * N4 - 3 * N5 + E5) -
            158.24 * sin(2 * N4 - 3 * N5 + E4) + 34.51 * sin(2 * N4 - 3 * N5 + E3) + 47.51 * sin(N2 - N5) +
            38.96 * sin(N3 - N5) + 359.73 * sin(N4 - N5) + 282.78 * sin(2 * (N4 - N5)) +
            138.60 * sin(3 * (N4 - N5)) + 78.03 * sin(4 * (N4 - N5)) + 47.29 * sin(5 * (N4 - N5)) +
            30.00 * sin(6 * (N4 - N5)) + 19.62 * sin(7 * (N4 - N5)) + 13.11 * sin(8 * (N4 - N5));
        const double c[] = {0, -0.35, 74.53, -758.68, 1397.34, 39.00, 17.66, 32.42, 79.75, 75.66,
                            134.04, -987.26, -126.09, -57.42, -32.41, -19.99, -12.94};
        const Dual a[] = {E1, E2, E3, E4, E5, N2, -N2 + 2 * N5, N3, N4, N5, -N4 + 2 * N5, -2 * N4 + 3 * N5,
                          -3 * N4 + 4 * N5, -4 * N4 + 5 * N5, -5 * N4 + 6 * N5, -6 * N4 + 7 * N5, -7 * N4 + 8 * N5};
        kh(K, H, c, a, 17);
        const double ci[] = {-0.44, -0.31, 36.89, -596.33, 451.69};
        kh(Q, P, ci, Is, 5);
    }
    n = n * 1e-6 / 86400;  // radians per second
    L = Wrap(L * 1e-6);
    K = K * 1e-6;
    H = H * 1e-6;
    Q = Q * 1e-6;
    P = P * 1e-6;

    const Dual A = Cbrt((gmUranus + gm[k]) / (n * n));
    const Dual F = EccentricLongitude(L, K, H);
    const Dual phi = sqrt(1 - K * K - H * H);
    const Dual psi = 1 / (1 + phi);
    const Dual rki = sqrt(1 - Q * Q - P * P);
    const Dual rlmf = -K * sin(F) + H * cos(F);
    const Dual x0 = A * (cos(F) - psi * H * rlmf - K);
    const Dual y0 = A * (sin(F) + psi * K * rlmf - H);
    const Vec u{(1 - 2 * P * P) * x0 + 2 * P * Q * y0, 2 * P * Q * x0 + (1 - 2 * Q * Q) * y0,
                -2 * P * rki * x0 + 2 * Q * rki * y0};
    // Uranus's equator of the theory to the Earth's mean equator of B1950.
    const double sa = std::sin(76.6067 * deg), ca = std::cos(76.6067 * deg);
    const double sd = std::sin(15.0322 * deg), cd = std::cos(15.0322 * deg);
    const Vec eq{sa * u.x + ca * sd * u.y + ca * cd * u.z, -ca * u.x + sa * sd * u.y + sa * cd * u.z,
                 -cd * u.y + sd * u.z};
    // The B1950 equator to its ecliptic (obliquity 23.4457889 degrees).
    const Vec ecl = RotX(eq, Const(-23.4457889 * deg));
    return EclipticToJ2000(ecl, Const(kB1950));
}

}  // namespace moonseries
