#ifndef VALIDEUR_ENTREE_LENTE_H
#define VALIDEUR_ENTREE_LENTE_H

#include <algorithm>
#include <stdexcept>
#include <streambuf>
#include <string>
#include <utility>

// An input that hands out at most `morceau` bytes per read and never says how
// many are waiting, as a pipe fed by a slow program does. It fails with a
// read error once `panne` bytes have gone out.
class EntreeLente : public std::streambuf {
public:
    EntreeLente(std::string contenu, std::size_t morceau,
                std::size_t panne = std::string::npos)
        : contenu_(std::move(contenu)), morceau_(morceau), panne_(panne) {}

protected:
    int_type underflow() override
    {
        if (position_ >= panne_)
            throw std::runtime_error("erreur de lecture");
        if (position_ >= contenu_.size())
            return traits_type::eof();
        const std::size_t n = std::min({morceau_, contenu_.size() - position_, panne_ - position_});
        char* debut = &contenu_[position_];
        setg(debut, debut, debut + n);
        position_ += n;
        return traits_type::to_int_type(*debut);
    }
    std::streamsize showmanyc() override { return 0; }

private:
    std::string contenu_;
    std::size_t morceau_;
    std::size_t panne_;
    std::size_t position_ = 0;
};

#endif
