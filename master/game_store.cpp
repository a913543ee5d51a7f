#include "master/game_store.h"

#include "core/module1.h"

static std::optional<QStringList> readRows(const QString &table) {
    const auto record = module1::db().readFirst(table);
    if (!record) return std::nullopt;
    QStringList rows;
    for (const QString &field : GameDatabase::rowFields()) rows << record->value(field).toString();
    return rows;
}

std::optional<StoredGame> readStoredGame() {
    auto source = readRows(QStringLiteral("source"));
    auto result = source ? readRows(QStringLiteral("result")) : std::nullopt;
    if (!module1::reportRead(result.has_value())) return std::nullopt;
    return StoredGame{std::move(*source), std::move(*result)};
}

GameDatabase::Fields tallyFields(const QString &prefix, const LetterTally &tally) {
    GameDatabase::Fields fields;
    const QStringList names = GameDatabase::letterFields(prefix);
    for (int s = 1; s <= 26; ++s) fields.emplace_back(names[s - 1], int(tally[size_t(s)]));
    return fields;
}

SavedGame::SavedGame(const QStringList &source, const QStringList &result)
    : sourceRows(source), resultRows(result), total(countRowLetters(source)),
      remaining(tallyDifference(total, countRowLetters(result))) {}

std::vector<GameDatabase::TableWrite> SavedGame::writes() const {
    GameDatabase::Fields source = GameDatabase::rowValues(sourceRows);
    for (auto &f : tallyFields(QStringLiteral("total_"), total)) source.push_back(std::move(f));
    GameDatabase::Fields result = GameDatabase::rowValues(resultRows);
    for (auto &f : tallyFields(QStringLiteral("reste_"), remaining)) result.push_back(std::move(f));
    return {{QStringLiteral("source"), std::move(source)},
            {QStringLiteral("result"), std::move(result)}};
}
