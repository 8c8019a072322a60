#pragma once

#include <QString>
#include <QStringView>
#include <memory>
#include <vector>

// The texts of one column of a long list, one after another in blocks of UTF-16: a text costs
// its characters and one position, not a string of its own, and the blocks never move, so that
// memory grows by one block at a time instead of doubling.
class TextosColumna {
  public:
    void agrega(QStringView texto);
    // Takes back the last text added, as if it had not been (a row that could not be kept
    // whole).
    void quitaUltimo();
    // Valid until the column is emptied.
    QStringView texto(std::size_t i) const;
    std::size_t size() const { return inicios_.size(); }
    void vacia();

  private:
    void abreBloque(quint32 caracteres);

    static constexpr int kBits = 18;
    static constexpr quint32 kTrozo = 1u << kBits;  // characters of an ordinary block

    std::vector<std::unique_ptr<char16_t[]>> bloques_;
    // Where each stretch of kTrozo positions lies; a text longer than a block has one block
    // of its own, spanning several stretches.
    std::vector<char16_t*> trozos_;
    // Characters used in each stretch: where the last text of a stretch ends.
    std::vector<quint32> usados_;
    std::vector<quint32> inicios_;  // position of each text
    quint32 fin_ = 0;               // where the next text goes
};

// The text as it compares without regard to case: each character case-folded on its own (the
// low half of a surrogate pair through the whole character), as QString::compare folds them
// with Qt::CaseInsensitive. Two texts compare alike through their foldings, character by
// character, as they compare themselves without regard to case.
QString pliega(QStringView texto);
void pliegaEn(QStringView texto, QString& destino);
// One character of a text folded so; `anterior` is the character before it (0 for none).
inline char16_t pliegaCaracter(char16_t c, char16_t anterior) {
    if (c < 0x80) return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + 32) : c;
    if (QChar::isLowSurrogate(c) && QChar::isHighSurrogate(anterior))
        return QChar::lowSurrogate(QChar::toCaseFolded(QChar::surrogateToUcs4(anterior, c)));
    return QChar(c).toCaseFolded().unicode();
}
