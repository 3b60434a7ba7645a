// Texts are Windows-1252 ("\xE0" à, "\xE8" è, "\xE9" é; literals split after
// an escape so that a following letter is not read as a hex digit).
#include "app/messages.h"

#include "app/migration_texts.h"

namespace app {

const Message& packageMissingMessage() {
  static const Message m{
      std::string("Attention, le fichier de package de l'Renovix \"vizaruv.fip\" est introuvable. Veuillez SVP "
                  "contacter le support technique : ") +
          kSupportSiteAddress,
      "Erreur Fatale, manque de fichier", kStyleError};
  return m;
}

const Message& applicationRunningMessage() {
  static const Message m{
      "Attention, l'application \"Vendrix\" dont vous voulez la mettre \xE0 jour est en cours d'execution. "
      "Veuillez SVP quitter cette derni\xE8" "re pour pouvoir continuer.",
      "Erreur de mise \xE0 jour", kStyleWarning};
  return m;
}

const Message& confirmUpdateMessage() {
  static const Message m{"Etes vous sur de vouloir Appliquer la mise \xE0 jour ?",
                         "Confirmation de Mise \xE0 jour", kStyleWarningCancel};
  return m;
}

const Message& installationMissingMessage() {
  static const Message m{
      "Attention, le chemin d'installation de l'application choisis ne contiens aucune installation de logiciel. "
      "Veuillez svp v\xE9rifier le chemin d'installation de l'application.",
      "Erreur, application introuvable", kStyleError};
  return m;
}

const Message& wrongFolderMessage() {
  static const Message m{
      "Le chemin que vous avez choisis ne contient aucune installation ! Veuillez SVP choisir le chemin de "
      "l'installation de votre logiciel.",
      "Erreur de chemin", kStyleWarning};
  return m;
}

const Message& incompatibleMessage() {
  static const Message m{
      std::string("Cette Mise \xE0 jour n'est pas compatible avec la copie install\xE9 sur votre PC. Veuillez SVP "
                  "contacter le support technique : ") +
          kSupportSiteAddress,
      "Erreur de param\xE8" "tres", kStyleError};
  return m;
}

const Message& updateDoneMessage() {
  static const Message m{"Votre copie de logiciel a \xE9t\xE9 mis \xE0 jour avec succ\xE8s",
                         "Mise \xE0 jour termin\xE9" "e", kStyleInformation};
  return m;
}

const Message& confirmExitMessage() {
  static const Message m{"Etes vous sur de vouloir Quitter le Renovix ?", "Confirmation de Fermeture",
                         kStyleWarningCancel};
  return m;
}

}  // namespace app
