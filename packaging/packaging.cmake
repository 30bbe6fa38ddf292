# Installation and packages
