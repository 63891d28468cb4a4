#include "engine.h"

Engine::Engine(QString sokvag) : m_sokvag(std::move(sokvag)) {}

QString Engine::reportPath() const {
    return m_sokvag + QStringLiteral("resultat.txt");
}

QString Engine::read_pricelist() {
    return {};
}

QString Engine::berakna(Grid &grid, const std::function<void()> &loadResultParam) {
    Q_UNUSED(grid);
    if (loadResultParam)
        loadResultParam();
    return {};
}

QString Engine::load_param() {
    return {};
}

double Engine::berakna_priser(const QString &art, std::int16_t kvalitet, double d) const {
    Q_UNUSED(art);
    Q_UNUSED(kvalitet);
    Q_UNUSED(d);
    return 0;
}
