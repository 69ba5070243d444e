// Microsoft's roots for driver catalogs. Each key is the root
// certificate's SubjectPublicKeyInfo as published in Microsoft's Trusted
// Root Program (authroot.stl); the pin is its SHA-256, which the tests
// check against the key. The 2001 and 1997 roots have expired: catalogs
// time-stamped while they were valid still chain to them.
#include "signer_kind.h"

namespace varnoll::trust {

namespace {

struct RootKey {
  const char* name;
  const char* pin;
  const char* publicKeyInfoHex;
};

const RootKey kRoots[] = {
    // Microsoft Root Certificate Authority 2010 (2010-06-23 to 2035-06-23)
    {"Microsoft Root Certificate Authority 2010",
     "c9905b0ee01202293ca026e64f08412442c5504c06e44ca7e9726d61f20e4089",
        "30820222300d06092a864886f70d01010105000382020f003082020a0282020100b9089e28e4e4ec064e5068b341c57b"
        "ebaeb68eaf81ba22441f6534694cbe704017f2167be279fd86ed0d39f41ba8ad92901ecb3d768f5ad9b591102e3c058d"
        "8a6d2454e71fed56ad83b4509c15a51774885920fc08c58476d368d46f2878ce5cb8f3509044ffe3635fbea19a2c9615"
        "04d607fe1e8421e0423111c4283694cf50a4629ec9d6ab7100b25b0ce696d40a2496f5ffc6d5b71bd7cbb72162af12dc"
        "a15d37e31afb1a4698c09bc0e7631f2a0893027e1e6a8ef29f1889e42285a2b1845740fff50ed86f9cede2453101cd17"
        "e97fb08145e3aa214026a172aaa74f3c01057eee8358b15e06639962917882b70d930c246ab41bdb27ec5f95043f934a"
        "30f59718b3a7f919a793331d01c8db22525cd725c946f9a2fb875943be9b62b18d2d86441a46ac78617e3009faae89c4"
        "412a2266039139459cc78b0ca8ca0d2ffb52ea0cf76333239dfeb01fad67d6a75003c6047063b52cb1865a43b7fbaef9"
        "6e296e21214126068cc9c3eeb0c28593a1b985d9e6326c4b4c3fd65da3e5b59d77c39cc055b77400e3b838ab839750e1"
        "9a42241dc6c0a330d11a5ac85234f773f1c7181f33ad7aeccb4160f3239420c24845ac5c51c62e80c2e27715bd8587ed"
        "369d9691ee00b5a370ec9fe38d80688376baaf5d70522216e266fbbab3c5c2f73e2f77a6cadec1a6c6484cc3375123d3"
        "27d7b84e7096f0a14476af78cf9ae166130203010001"},
    // Microsoft Root Certificate Authority 2011 (2011-03-22 to 2036-03-22)
    {"Microsoft Root Certificate Authority 2011",
     "02376d0908ac23041cc7d666d9daf192554f7fc36317aa9cb800908616b28af8",
        "30820222300d06092a864886f70d01010105000382020f003082020a0282020100b28041aa35384d13723268224db8b2"
        "f1ffd552bc6cc7f5d24a8c36eed1c25c7e8c8aaeaf13286fc073e33aced025a85a3a6defa8b859ab132368cd0c2987d1"
        "6f805c8f447f5d90015258ac51c55f2a87dcdcd80a1dc103b97bb056e8a3de6461c29ef8f37cb9ec0db554fe4cb6654f"
        "88f09c48990c420b097c315917790678288d893a4c0325be716a5c0be78460a49922e3d2af84a4a7fbd198ed0ca9de94"
        "89e10ea0dcc0ce993dea0852bb5679e41f84ba1eb8b4c4495c4f314b87dddd0567269980e07111a3b8a541e2a453b9f7"
        "3229830c13bf365e04b34b43472f6be2911ed3984fdd4207c8e81d12fc99a96b3e927ec8d6693afc64bdb6099dcafd0c"
        "0ba29b77604b0394a4306912d6422dc1414ccadcaafd8f5b83469ad9fcb1d1e3b3c97f487acd24f0418f5c74d0acb010"
        "200649b7c72d21c857e3d086f30368fbd0ce71c189994a64016cfdec3091cf413c92c7e5ba861d6184c75f833962aeb4"
        "922f47f30bf855eba01f59d0bb749b1ed076e6f2e906d710e8fa64de69c635968802f046b83f27996fcb71892935f748"
        "1602358fd5797c4d02cf5feb8a834f457188f9a90d4e72e9c29c07cf491b4e040e63518c5ed800c1552cb6c6e0c2654e"
        "c93439f59cb3c47ee8616e135f15c45fd97eed1dceee44eccb2e86b1ec38f670edab5c13c1d90f0dc780b255ed34f7ac"
        "9be4c3dae7473ca6b58f31dfc54bafebf10203010001"},
    // Microsoft Root Certificate Authority, DC=microsoft, DC=com (2001-05-09 to 2021-05-09)
    {"Microsoft Root Certificate Authority, DC=microsoft, DC=com",
     "df530bac9fcd914c252c2fbdceddc6183d4ae8c680ad65f03e204861dd7b1c73",
        "30820222300d06092a864886f70d01010105000382020f003082020a0282020100f35dfa8067d45aa7a90c2c9020d035"
        "083c7584cdb707899c89dadecec360fa91685a9e94712918767cc2e0c82576940e58fa043436e6dfaff780bae9580b2b"
        "93e59d05e3772291f734643c22911d5ee10990bc14fefc755819e179b70792a3ae885908d89f07ca0358fc68296d32d7"
        "d2a8cb4bfce10b48324fe6ebb8ad4fe45c6f139499db95d575dba81ab79491b4775bf5480c8f6a797d1470047d6daf90"
        "f5da70d847b7bf9b2f6ce705b7e11160ac7991147cc5d6a6e4e17ed5c37ee592d23c00b53682de79e16df3b56ef89f33"
        "c9cb527d739836db8ba16ba295979ba3dec24d26ff0696672506c8e7ace4ee1233953199c835084e34ca7953d5b5be63"
        "32594036c0a54e044d3ddb5b0733e458bfef3f5364d842593557fd0f457c24044d9ed6387411972290ce684474926fd5"
        "4b6fb086e3c73642a0d0fcc1c05af9a361b9304771960a16b091c04295ef107f286ae32a1fb1e4cd033f777104c720fc"
        "490f1d4588a4d7cb7e88ad8e2dec45dbc45104c92afcec869e9a11975bdece5388e6e2b7fdac95c22840dbef0490df81"
        "3339d9b245a5238706a5558931bb062d600e41187d1f2eb597cb11eb15d524a594ef151489fd4b73fa325bfcd13300f9"
        "5962700732ea2eab402d7bcadd21671b30998f16aa23a841d1b06e119b36c4de40749ce15865c1601e7a5b38c88fbb04"
        "267cd41640e5b66b6caa86fd00bfcec1350203010001"},
    // Microsoft Root Authority (1997-01-10 to 2020-12-31)
    {"Microsoft Root Authority",
     "4462c107c485dd6a5443f5e7a1604416034a374c3f4d10875f1c3715027563af",
        "30820122300d06092a864886f70d01010105000382010f003082010a0282010100a902bdc170e63bf24e1b289f97785e"
        "30eaa2a98d255ff8fe954ca3b7fe9da2203e7c51a29ba28f60326bd1426479eeac76c954daf2eb9c861c8f9f8466b3c5"
        "6b7a6223d61d3cde0f0192e896c4bf2d669a9a682699d03a2cbf0cb55826c146e70a3e38962ca92839a8ec498342e384"
        "0fbb9a6c5561ac827ca1602d774ce999b4643b9a501c310824149fa9e7912b18e63d986314605805659f1d375287f7a7"
        "ef9402c61bd3bf5545b38980bf3aec54944eaefda77a6d744eaf18cc96092821005790606937bb4b12073c56ff5bfba4"
        "660a08a6d2815657efb63b5e16817704daf6beae8095feb0cd7fd6a71a725c3ccabcf008a32230b30685c9b320771385"
        "df0203010001"},
};

std::string FromHex(const char* hex) {
  std::string bytes;
  for (const char* p = hex; p[0] != '\0' && p[1] != '\0'; p += 2) {
    auto nibble = [](char c) { return c <= '9' ? c - '0' : c - 'a' + 10; };
    bytes += static_cast<char>(nibble(p[0]) << 4 | nibble(p[1]));
  }
  return bytes;
}

}  // namespace

const std::vector<TrustAnchor>& MicrosoftRoots() {
  static const std::vector<TrustAnchor> roots = [] {
    std::vector<TrustAnchor> anchors;
    for (const RootKey& root : kRoots) anchors.push_back({root.name, root.pin, FromHex(root.publicKeyInfoHex)});
    return anchors;
  }();
  return roots;
}

}  // namespace varnoll::trust
