// SPDX-License-Identifier: GPL-3.0-or-later
#include "catalogue/schema.h"

namespace catalogue {

// Fields in column order: title, description, category, actors, review, rating, year, minutes.
const std::vector<catalogue::Movie> &sampleMovies()
{
    static const std::vector<catalogue::Movie> movies{
        makeMovie("Die Hard",
                  "A New York cop visiting his estranged wife in Los Angeles is the only man loose in a skyscraper "
                  "after a gang of thieves seizes it during a Christmas party, and he fights them floor by floor.",
                  "Action", "Bruce Willis, Alan Rickman, Bonnie Bedelia, Reginald VelJohnson",
                  "I watch it every December. Rickman's villain steals every scene he is in.", "R", "1988", "132"),
        makeMovie("Raiders of the Lost Ark",
                  "In 1936 an archaeology professor with a bullwhip and a fear of snakes races Nazi agents across "
                  "Nepal and Egypt to find the Ark of the Covenant before they can turn it into a weapon.",
                  "Action", "Harrison Ford, Karen Allen, Paul Freeman, John Rhys-Davies",
                  "Pure adventure from the first frame. The rolling boulder still gets me every time.", "PG", "1981",
                  "115"),
        makeMovie("Speed",
                  "A bomb is wired to a Los Angeles city bus and will go off if the bus drops below fifty miles an "
                  "hour. A young SWAT officer and a passenger at the wheel must keep it moving through traffic.",
                  "Action", "Keanu Reeves, Sandra Bullock, Dennis Hopper, Jeff Daniels",
                  "A simple idea carried off with real nerve. Great fun with popcorn on a Friday night.", "R", "1994",
                  "116"),
        makeMovie("Schindler's List",
                  "The true story of Oskar Schindler, a German businessman and party member who spent his fortune "
                  "keeping more than a thousand Jewish workers out of the death camps during the Second World War.",
                  "Biography", "Liam Neeson, Ben Kingsley, Ralph Fiennes, Embeth Davidtz",
                  "Not one I put on lightly, but I count it the most important film on my shelves.", "R", "1993",
                  "195"),
        makeMovie("Gandhi",
                  "The life of Mohandas Gandhi, from a young lawyer thrown off a train in South Africa to the leader "
                  "whose campaign of non-violent resistance helped win India its independence from Britain.",
                  "Biography", "Ben Kingsley, Candice Bergen, Edward Fox, John Gielgud",
                  "Kingsley simply becomes the man. A long evening, and worth every minute of it.", "PG", "1982",
                  "191"),
        makeMovie("Amadeus",
                  "The aged court composer Antonio Salieri confesses how his envy of the young Mozart, vulgar, "
                  "giggling and touched by genius, drove him to plot the younger man's ruin in imperial Vienna.",
                  "Biography", "F. Murray Abraham, Tom Hulce, Elizabeth Berridge, Jeffrey Jones",
                  "The music alone is worth the price. I finally replaced my worn-out tape with this disc.", "PG",
                  "1984", "161"),
        makeMovie("Groundhog Day",
                  "A sour television weatherman sent to cover the groundhog festival in Punxsutawney wakes up to "
                  "the same February morning again and again, until he learns to make something of the day.",
                  "Comedy", "Bill Murray, Andie MacDowell, Chris Elliott, Stephen Tobolowsky",
                  "Funnier and wiser every time I watch it, which seems only fitting for this one.", "PG", "1993",
                  "101"),
        makeMovie("Airplane!",
                  "When the crew of a passenger jet falls ill from the fish dinner, a former fighter pilot with a "
                  "fear of flying must land the plane amid a nonstop barrage of puns, sight gags and deadpan nonsense.",
                  "Comedy", "Robert Hays, Julie Hagerty, Leslie Nielsen, Lloyd Bridges, Peter Graves",
                  "A joke every few seconds and most of them land. Leslie Nielsen's straight face is perfect.", "PG",
                  "1980", "88"),
        makeMovie("Amélie",
                  "A shy waitress in Montmartre finds a box of childhood treasures hidden in her flat and sets out "
                  "to secretly improve the lives of the people around her, while dodging her own chance at love.",
                  "Comedy", "Audrey Tautou, Mathieu Kassovitz, Rufus, Yolande Moreau",
                  "In French with subtitles. Charming from start to finish, and my wife's favorite of the lot.", "R",
                  "2001", "122"),
        makeMovie("Young Frankenstein",
                  "The grandson of the infamous Baron Frankenstein, a surgeon who insists his name is pronounced "
                  "differently, inherits the family castle in Transylvania and cannot resist the old experiment.",
                  "Comedy", "Gene Wilder, Peter Boyle, Marty Feldman, Teri Garr, Cloris Leachman",
                  "Shot in glorious black and white. Marty Feldman's Igor makes me laugh every single time.", "PG",
                  "1974", "106"),
        makeMovie("Hoop Dreams",
                  "Filmed over five years, this documentary follows two teenagers from Chicago's inner city who hope "
                  "basketball will carry them to college and the pros, and the families who stake everything on them.",
                  "Documentary", "William Gates, Arthur Agee",
                  "Nearly three hours and I never once looked at the clock. Real life beats any script.", "PG-13",
                  "1994", "170"),
        makeMovie("March of the Penguins",
                  "Each winter emperor penguins walk for days across the Antarctic ice to their breeding ground, "
                  "where the males guard the eggs through months of dark and storm while the females feed at sea.",
                  "Documentary", "Morgan Freeman",
                  "A family favorite. The photography is astonishing when you think of the cold they filmed in.", "G",
                  "2005", "80"),
        makeMovie("The Fog of War",
                  "Former Secretary of Defense Robert McNamara looks back on the firebombing of Japan, the Cuban "
                  "missile crisis and Vietnam, and draws eleven lessons from a life spent close to power.",
                  "Documentary", "Robert McNamara",
                  "Gripping and unsettling. I bought my own copy after a friend lent me hers.", "PG-13", "2003", "107"),
        makeMovie("The Shawshank Redemption",
                  "A banker sentenced to life for murdering his wife and her lover keeps his quiet dignity through "
                  "two decades in a Maine prison, and makes a lasting friend of the inmate who can get anything.",
                  "Drama", "Tim Robbins, Morgan Freeman, Bob Gunton, William Sadler",
                  "I missed it in theaters like everybody else. Now it is the disc I lend out most often.", "R", "1994",
                  "142"),
        makeMovie("Forrest Gump",
                  "A kind, simple man from Alabama drifts through three decades of American history, from football "
                  "star to war hero to shrimp boat captain, without ever giving up on the girl he loved as a boy.",
                  "Drama", "Tom Hanks, Robin Wright, Gary Sinise, Sally Field",
                  "Sentimental, I know, but the soundtrack alone keeps me coming back to it.", "PG-13", "1994", "142"),
        makeMovie("Rain Man",
                  "A fast-talking car dealer learns that his father's fortune went to an autistic older brother he "
                  "never knew he had, and takes him on a cross-country drive that changes them both.",
                  "Drama", "Dustin Hoffman, Tom Cruise, Valeria Golino",
                  "Hoffman earned that Oscar. A quieter film than I remembered, in the best way.", "R", "1988", "133"),
        makeMovie("The Godfather",
                  "The aging head of a New York crime family hands his power to his youngest son, a war hero who "
                  "wanted no part of the business, as a gang war turns him into the coldest of them all.",
                  "Drama", "Marlon Brando, Al Pacino, James Caan, Robert Duvall, Diane Keaton",
                  "An offer I could not refuse when it came out on DVD. Brando and Pacino are magnificent.", "R",
                  "1972", "175"),
        makeMovie("Alien",
                  "The crew of a commercial towing ship answers a distress call on a barren moon and brings back a "
                  "stowaway that hunts them one by one through the dark corridors of their own vessel.",
                  "Horror", "Sigourney Weaver, Tom Skerritt, John Hurt, Ian Holm",
                  "Still frightening after all these years. I never watch it alone with the lights off.", "R", "1979",
                  "117"),
        makeMovie("The Shining",
                  "A struggling writer takes a job as winter caretaker of an isolated mountain hotel, and as the snow "
                  "closes the roads the place works on his mind while his young son glimpses its terrible past.",
                  "Horror", "Jack Nicholson, Shelley Duvall, Danny Lloyd, Scatman Crothers",
                  "This is the longer American cut. The hedge maze finale is the stuff of my nightmares.", "R", "1980",
                  "144"),
        makeMovie("Halloween",
                  "Fifteen years after killing his sister on Halloween night, Michael Myers escapes from a mental "
                  "hospital and returns to his small Illinois hometown to stalk a teenage babysitter and her friends.",
                  "Horror", "Donald Pleasence, Jamie Lee Curtis, P. J. Soles, Nancy Loomis",
                  "Made on a shoestring and scarier than most big-budget horror. I play it every October.", "R", "1978",
                  "91"),
        makeMovie("Duck and Cover",
                  "A civil defense film for schoolchildren in which Bert the Turtle shows how to drop and cover your "
                  "head at the flash of an atomic bomb, followed by drills at school, at home and at play.",
                  "Instructional", "Robert Middleton (narrator)",
                  "A curious piece of Cold War history on a public domain disc. Nine minutes that say a lot.", "NR",
                  "1951", "9"),
        makeMovie("Buns of Steel",
                  "The workout tape that started a craze: a short aerobic warm-up, then a long floor routine of leg "
                  "lifts and squeezes for hips and thighs, led by a former pole vaulter in a very bright outfit.",
                  "Instructional", "Greg Smithey",
                  "I bought it as a joke and, I admit, I have actually done the whole workout. Twice.", "NR", "1987",
                  "49"),
        makeMovie("The Sound of Music",
                  "A high-spirited postulant is sent from her abbey to be governess to the seven children of a strict "
                  "widowed naval captain in Salzburg, and fills the house with song as the Nazis close in.",
                  "Musical", "Julie Andrews, Christopher Plummer, Eleanor Parker, Richard Haydn",
                  "The whole family sings along, off key. The opening shot on the mountain never gets old.", "G",
                  "1965", "174"),
        makeMovie("Grease",
                  "After a summer romance at the beach, greaser Danny and wholesome Sandy find they attend the same "
                  "high school, where his leather-jacketed friends and her new crowd make love complicated.",
                  "Musical", "John Travolta, Olivia Newton-John, Stockard Channing, Jeff Conaway",
                  "Pure nostalgia. I know every word of every song, whether the family likes it or not.", "PG", "1978",
                  "110"),
        makeMovie("Chicago",
                  "In jazz-age Chicago a would-be chorus girl shoots her lover and lands in jail beside a murderous "
                  "vaudeville star, and a slick lawyer turns both of their trials into a show.",
                  "Musical", "Renée Zellweger, Catherine Zeta-Jones, Richard Gere, Queen Latifah",
                  "Flashy and sharp. Staging the songs as daydreams was a clever touch.", "PG-13", "2002", "113"),
        makeMovie("Chinatown",
                  "A Los Angeles private eye hired to catch an unfaithful husband in 1937 stumbles on a murder and a "
                  "scheme over the city's water supply, and the woman who hired him knows more than she says.",
                  "Mystery", "Jack Nicholson, Faye Dunaway, John Huston",
                  "The best screenplay I know. I catch a new clue every time I sit down with it.", "R", "1974", "130"),
        makeMovie("The Usual Suspects",
                  "A small-time con man with a limp tells a customs agent how five criminals met in a police lineup "
                  "and ended up in a bloody job on a ship in San Pedro harbor, all for a legendary crime lord.",
                  "Mystery", "Kevin Spacey, Gabriel Byrne, Chazz Palminteri, Stephen Baldwin, Benicio del Toro",
                  "Do not let anyone spoil the ending for you. I watched it twice in one night.", "R", "1995", "106"),
        makeMovie("Memento",
                  "A man who cannot form new memories hunts for his wife's killer with notes, snapshots and tattoos, "
                  "and the story runs backwards so that we never know more than he does.",
                  "Mystery", "Guy Pearce, Carrie-Anne Moss, Joe Pantoliano",
                  "A puzzle box of a film. I keep a notepad handy whenever I put it on.", "R", "2000", "113"),
        makeMovie("Murder on the Orient Express",
                  "Snowbound somewhere in the Balkans, the Belgian detective Hercule Poirot must find out which of "
                  "his fellow passengers on the luxury train stabbed a wealthy American in his sleeping car.",
                  "Mystery", "Albert Finney, Lauren Bacall, Ingrid Bergman, Sean Connery",
                  "A star in every compartment. Finney's Poirot is fussier than the books', and great fun.", "PG",
                  "1974", "128"),
        makeMovie("Star Wars",
                  "A farm boy on a desert planet joins an old Jedi knight, a smuggler and his Wookiee co-pilot to "
                  "rescue a captured princess and carry the plans of the Empire's battle station to the rebels.",
                  "Sci-Fi", "Mark Hamill, Harrison Ford, Carrie Fisher, Alec Guinness",
                  "I saw it in the theater at nine years old and have never been the same. A must on any shelf.", "PG",
                  "1977", "121"),
        makeMovie("Blade Runner",
                  "In a rain-soaked Los Angeles of 2019 a weary ex-cop is called back to hunt four escaped "
                  "replicants, artificial humans who have come to Earth in search of the man who made them.",
                  "Sci-Fi", "Harrison Ford, Rutger Hauer, Sean Young, Edward James Olmos",
                  "Moody and beautiful. The rainy city itself is the real star of the picture.", "R", "1982", "117"),
        makeMovie("The Matrix",
                  "A programmer who hacks at night learns that the world he knows is a simulation built by machines "
                  "to keep mankind asleep, and joins a band of rebels fighting to wake the rest.",
                  "Sci-Fi", "Keanu Reeves, Laurence Fishburne, Carrie-Anne Moss, Hugo Weaving",
                  "The first DVD I ever bought, and still the one I use to show off the sound system.", "R", "1999",
                  "136"),
        makeMovie("E.T. the Extra-Terrestrial",
                  "A lonely suburban boy finds a gentle alien left behind by his ship, hides him in a closet, and "
                  "with his brother and little sister helps him phone home before government agents close in.",
                  "Sci-Fi", "Henry Thomas, Dee Wallace, Robert MacNaughton, Drew Barrymore",
                  "The bicycle ride across the moon still makes me tear up. Bought it for the kids, kept it myself.",
                  "PG", "1982", "115"),
        makeMovie("Rocky",
                  "A small-time Philadelphia club fighter who collects debts for a loan shark gets a one-in-a-million "
                  "shot at the heavyweight champion of the world, and wants only to go the distance.",
                  "Sports", "Sylvester Stallone, Talia Shire, Burt Young, Carl Weathers, Burgess Meredith",
                  "I still run up those museum steps in my head when the theme starts. A true underdog classic.", "PG",
                  "1976", "119"),
        makeMovie("Raging Bull",
                  "The rise and fall of middleweight champion Jake LaMotta, a brutal fighter whose jealousy and rage "
                  "tear apart his marriage and his family outside the ring, shot in stark black and white.",
                  "Sports", "Robert De Niro, Cathy Moriarty, Joe Pesci, Frank Vincent",
                  "Hard to watch but impossible to look away from. De Niro at his very best.", "R", "1980", "129"),
        makeMovie("Hoosiers",
                  "A coach with a troubled past takes over the basketball team of a tiny Indiana farm town in the "
                  "early 1950s and, with help from the town drunk, leads his boys toward the state championship.",
                  "Sports", "Gene Hackman, Barbara Hershey, Dennis Hopper",
                  "The best sports movie ever made, and I will argue the point with anyone who visits.", "PG", "1986",
                  "114"),
        makeMovie("Heat",
                  "A driven Los Angeles police lieutenant and a meticulous professional thief circle each other "
                  "through a string of heists, and find over a cup of coffee that they are more alike than not.",
                  "Suspense", "Al Pacino, Robert De Niro, Val Kilmer, Jon Voight",
                  "Pacino and De Niro face to face at last. The downtown shootout is the best ever filmed.", "R",
                  "1995", "170"),
        makeMovie("HEAT",
                  "Michael Mann's crime epic: a crew of bank robbers plans one last big score in Los Angeles while a "
                  "detective who lives only for the chase closes in on them, at a heavy cost to both sides.",
                  "Suspense", "Al Pacino, Robert De Niro, Val Kilmer, Jon Voight",
                  "My second copy, the two-disc special edition. The first one has been lent out too often.", "R",
                  "1995", "170"),
        makeMovie("Jaws",
                  "When a great white shark starts attacking swimmers off a New England resort island, the police "
                  "chief, a young ocean scientist and a salty shark hunter head out in a small boat to kill it.",
                  "Suspense", "Roy Scheider, Robert Shaw, Richard Dreyfuss, Lorraine Gary",
                  "It still keeps me out of the water on vacation. That two-note score does all the work.", "PG",
                  "1975", "124"),
        makeMovie("The Silence of the Lambs",
                  "An FBI trainee is sent to question Hannibal Lecter, a brilliant psychiatrist and cannibal held in "
                  "an asylum, in the hope that he will help her catch a serial killer who is still at large.",
                  "Suspense", "Jodie Foster, Anthony Hopkins, Scott Glenn, Ted Levine",
                  "Hopkins is on screen for only a few minutes yet owns the picture. Chilling.", "R", "1991", "118"),
        makeMovie("Unforgiven",
                  "A widowed pig farmer who was once a notorious killer takes up his guns one last time for a bounty "
                  "in a Wyoming town run by a brutal sheriff, and finds the old life has not let go of him.",
                  "Western", "Clint Eastwood, Gene Hackman, Morgan Freeman, Richard Harris",
                  "I filed it under Western myself, since none of the usual categories felt right for it.", "R", "1992",
                  "131"),
    };
    return movies;
}

} // namespace catalogue
